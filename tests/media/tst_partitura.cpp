// The score reader of the song generator: durations, ties, pick-up bars and the bar checks
// that keep a mistyped score from becoming a song with a shifted accompaniment.

#include <QtTest>

#include "Partitura.h"

class TstPartitura : public QObject {
    Q_OBJECT

private slots:
    void aceita_data();
    void aceita();
    void recusa_data();
    void recusa();
};

namespace {
const char* kCabecalho = "andamento: 120\ncompasso: 2\n";
}

void TstPartitura::aceita_data() {
    QTest::addColumn<QString>("corpo");
    QTest::addColumn<int>("notas");
    QTest::addColumn<int>("duracaoPassada");  // ticks
    QTest::addColumn<int>("anacruse");
    QTest::addColumn<int>("ultimaAltura");

    QTest::newRow("duração herdada") << "[melodia]\nc4:0.5 d4 e4 f4 | g4:2\n[acordes]\nC:2 | C:2" << 5 << 1920 << 0 << 67;
    QTest::newRow("ligadura alonga") << "[melodia]\nc5:1 d5 | ~:1 e5:1\n[acordes]\nC:2 | G:2" << 3 << 1920 << 0 << 76;
    QTest::newRow("anacruse completada") << "[melodia]\ng4:1 | c5:2 | c5:1\n[acordes]\n%:1 | C:2 | C:1" << 3 << 1920 << 480 << 72;
    QTest::newRow("sustenido, bemol, fração") << "[melodia]\nf#4:2/3 bb4 c#5 | p:2\n[acordes]\nD:2 | D:2" << 4 << 1920 << 0 << -1;
    QTest::newRow("comentário depois da nota") << "[melodia]\nc4:2 # fim\n[acordes]\nC:2" << 1 << 960 << 0 << 60;
}

void TstPartitura::aceita() {
    QFETCH(QString, corpo);
    QFETCH(int, notas);
    QFETCH(int, duracaoPassada);
    QFETCH(int, anacruse);
    QFETCH(int, ultimaAltura);
    const Partitura p = lerPartitura(kCabecalho + corpo.toStdString());
    QCOMPARE(int(p.melodia.size()), notas);
    QCOMPARE(p.duracaoPassada(), duracaoPassada);
    QCOMPARE(p.anacruse, anacruse);
    QCOMPARE(p.melodia.back().altura, ultimaAltura);
}

void TstPartitura::recusa_data() {
    QTest::addColumn<QString>("corpo");
    QTest::newRow("compasso curto no meio") << "[melodia]\nc4:2 | d4:1 | e4:2\n[acordes]\nC:2 | C:1 | C:2";
    QTest::newRow("compasso longo") << "[melodia]\nc4:3 | d4:1\n[acordes]\nC:3 | C:1";
    QTest::newRow("anacruse não completada") << "[melodia]\ng4:1 | c5:2\n[acordes]\n%:1 | C:2";
    QTest::newRow("acordes mais curtos") << "[melodia]\nc4:2 | d4:2\n[acordes]\nC:2";
    QTest::newRow("nota inválida") << "[melodia]\nh4:2\n[acordes]\nC:2";
    QTest::newRow("acorde desconhecido") << "[melodia]\nc4:2\n[acordes]\nCxyz:2";
    QTest::newRow("duração que não cabe em ticks") << "[melodia]\nc4:1/7 | \n[acordes]\nC:2";
    QTest::newRow("sem melodia") << "[acordes]\nC:2";
    QTest::newRow("volume fora da faixa") << "volume: 13\n[melodia]\nc4:2\n[acordes]\nC:2";
}

void TstPartitura::recusa() {
    QFETCH(QString, corpo);
    QVERIFY_THROWS_EXCEPTION(ErroPartitura, lerPartitura(kCabecalho + corpo.toStdString()));
}

QTEST_GUILESS_MAIN(TstPartitura)
#include "tst_partitura.moc"
