#include "platform/BancoDeSons.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <fluidsynth.h>

using namespace plataforma;

namespace {

const QString kBanco = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");

// The cut-down bank as the file the synthesiser would read.
QByteArray arquivoReduzido(const QByteArray& original, const BancoReduzido& banco)
{
    QByteArray arquivo = original.left(banco.inicioPdta) + banco.pdta;
    qToLittleEndian<quint32>(banco.tamanhoRiff, arquivo.data() + 4);
    return arquivo;
}

struct Sintetizador {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = nullptr;
    fluid_sfont_t* banco = nullptr;
    explicit Sintetizador(const QString& arquivo) {
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        synth = new_fluid_synth(settings);
        const int id = fluid_synth_sfload(synth, QFile::encodeName(arquivo).constData(), 1);
        if (id != FLUID_FAILED) banco = fluid_synth_get_sfont_by_id(synth, id);
    }
    ~Sintetizador() { delete_fluid_synth(synth); delete_fluid_settings(settings); }

    // A second of a note on the preset, and its release.
    std::vector<float> nota(int bancoMidi, int programa) {
        fluid_synth_system_reset(synth);
        fluid_synth_program_select(synth, 0, fluid_sfont_get_id(banco), bancoMidi, programa);
        fluid_synth_noteon(synth, 0, 60, 100);
        std::vector<float> som(2 * 44100);
        fluid_synth_write_float(synth, 22050, som.data(), 0, 2, som.data(), 1, 2);
        fluid_synth_noteoff(synth, 0, 60);
        fluid_synth_write_float(synth, 22050, som.data() + 44100, 0, 2, som.data() + 44100, 1, 2);
        return som;
    }
};

}  // namespace

class TestBancoDeSons : public QObject {
    Q_OBJECT
private slots:
    void guardaSoOsProgramasPedidosESoamIgual();
    void arquivoQueNaoEBancoNaoSeReduz_data();
    void arquivoQueNaoEBancoNaoSeReduz();
};

// Every preset of a kept program, in any bank, is there and sounds as in the whole bank; the
// others are gone.
void TestBancoDeSons::guardaSoOsProgramasPedidosESoamIgual()
{
    if (!QFile::exists(kBanco)) QSKIP("banco de sons ausente");
    QFile arquivo(kBanco);
    QVERIFY(arquivo.open(QIODevice::ReadOnly));
    const QSet<int> programas{19, 73};
    const auto banco = reduzirBanco(arquivo, programas);
    QVERIFY(banco);
    QTemporaryDir pasta;
    QFile reduzido(pasta.filePath(QStringLiteral("reduzido.sf2")));
    QVERIFY(reduzido.open(QIODevice::WriteOnly));
    arquivo.seek(0);
    reduzido.write(arquivoReduzido(arquivo.readAll(), *banco));
    reduzido.close();

    Sintetizador inteiro(kBanco), pequeno(reduzido.fileName());
    QVERIFY(inteiro.banco && pequeno.banco);
    int mantidos = 0;
    fluid_sfont_iteration_start(inteiro.banco);
    while (fluid_preset_t* p = fluid_sfont_iteration_next(inteiro.banco)) {
        const int b = fluid_preset_get_banknum(p), prog = fluid_preset_get_num(p);
        fluid_preset_t* q = fluid_sfont_get_preset(pequeno.banco, b, prog);
        if (prog != 0 && !programas.contains(prog)) {
            QVERIFY2(!q, qPrintable(QStringLiteral("%1:%2").arg(b).arg(prog)));
            continue;
        }
        QVERIFY2(q, qPrintable(QStringLiteral("%1:%2").arg(b).arg(prog)));
        QCOMPARE(QString::fromLatin1(fluid_preset_get_name(q)), QString::fromLatin1(fluid_preset_get_name(p)));
        const std::vector<float> som = inteiro.nota(b, prog);
        QVERIFY(som != std::vector<float>(som.size()));
        QVERIFY(som == pequeno.nota(b, prog));
        ++mantidos;
    }
    QVERIFY(mantidos >= 3);
}

void TestBancoDeSons::arquivoQueNaoEBancoNaoSeReduz_data()
{
    QTest::addColumn<QByteArray>("conteudo");
    QTest::newRow("vazio") << QByteArray();
    QTest::newRow("outro RIFF") << QByteArray("RIFF\x04\0\0\0WAVE", 12);
    QTest::newRow("sem lista de presets") << QByteArray("RIFF\x10\0\0\0sfbkLIST\x04\0\0\0INFO", 24);
    QTest::newRow("lista cortada") << QByteArray("RIFF\x20\0\0\0sfbkLIST\x40\0\0\0pdtaphdr", 28);
}

void TestBancoDeSons::arquivoQueNaoEBancoNaoSeReduz()
{
    QFETCH(QByteArray, conteudo);
    QBuffer buffer(&conteudo);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QVERIFY(!reduzirBanco(buffer, {1}));
}

QTEST_GUILESS_MAIN(TestBancoDeSons)
#include "tst_banco.moc"
