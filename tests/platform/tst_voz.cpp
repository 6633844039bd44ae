// The program's voice against the real speech-dispatcher, started by the first phrase in a
// private folder: the phrase reaches the service, which begins to say it, and a new phrase
// cuts off the one before.
#include "VozPrivada.h"
#include "platform/Voz.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

class TstVoz : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() { QVERIFY(prepararVozPrivada(dir_.path())); }

    void fraseChegaAoServico()
    {
        plataforma::VozSpeechd voz;
        if (!voz.disponivel()) QSKIP(qPrintable(QStringLiteral("sem voz: ") + voz.motivo()));
        std::atomic<int> comecos{0};
        voz.aoComecar([&comecos] { ++comecos; });
        voz.falar(QStringLiteral("esperado a"));
        QTRY_VERIFY_WITH_TIMEOUT(comecos > 0, 10000);
        const int antes = comecos;
        voz.falar(QStringLiteral("acento agudo, depois a"));
        QTRY_VERIFY_WITH_TIMEOUT(comecos > antes, 10000);
    }
};

QTEST_GUILESS_MAIN(TstVoz)
#include "tst_voz.moc"
