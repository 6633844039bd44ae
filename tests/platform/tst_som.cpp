#include "platform/PosicaoMusica.h"
#include "platform/SomWave.h"
#include "platform/TocadorFluidSynth.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace plataforma;

namespace {

const QString fonteDebian = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");

// One middle C of one beat: a complete Standard MIDI File.
QByteArray midiMinimo()
{
    const char trilha[] = {0x00, char(0x90), 0x3C, 0x40, 0x60, char(0x80), 0x3C, 0x40, 0x00, char(0xFF), 0x2F, 0x00};
    QByteArray midi("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    midi += QByteArray("MTrk\0\0\0", 7) + char(sizeof trilha);
    midi += QByteArray(trilha, sizeof trilha);
    return midi;
}

// A player that cannot get an audio device, with the song's length given.
OpcoesFluidSynth semDispositivo(qint64* agora = nullptr)
{
    OpcoesFluidSynth opcoes;
    opcoes.ajustes = {{QStringLiteral("audio.driver"), QStringLiteral("nenhum-driver")}};
    opcoes.duracao = [](const QString&) { return qint64(500); };
    if (agora) opcoes.relogio = [agora] { return *agora; };
    return opcoes;
}

} // namespace

class TstSom : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void posicaoDaMusica();
    void pararEZerar();
    void tocadorSemMusica();
    void musicaQueNaoAbre_data();
    void musicaQueNaoAbre();
    void semDispositivoDeAudio();
    void tocaPeloDriverDeArquivo();
    void somSemSaidaDeAudio();

private:
    QTemporaryDir tmp_;
    QString musica_;
};

void TstSom::initTestCase()
{
    musica_ = tmp_.path() + "/QEL1.MID";
    QFile f(musica_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(midiMinimo());
}

void TstSom::posicaoDaMusica()
{
    qint64 agora = 10'000;
    PosicaoMusica posicao([&agora] { return agora; });
    QCOMPARE(posicao.posicaoMs(), qint64(0));

    posicao.definirDuracao(5'000);
    posicao.iniciarDoZero();
    QCOMPARE(posicao.posicaoMs(), qint64(0));
    agora += 1'234;
    QCOMPARE(posicao.posicaoMs(), qint64(1'234));
    QVERIFY(!posicao.terminou());

    // Past the end, and long after it, the position is exactly the length.
    agora += 3'766;
    QCOMPARE(posicao.posicaoMs(), qint64(5'000));
    agora += 60'000;
    QCOMPARE(posicao.posicaoMs(), qint64(5'000));
    QVERIFY(posicao.terminou());

    // Playing from the start again.
    posicao.iniciarDoZero();
    agora += 10;
    QCOMPARE(posicao.posicaoMs(), qint64(10));
}

void TstSom::pararEZerar()
{
    qint64 agora = 0;
    PosicaoMusica posicao([&agora] { return agora; });
    posicao.definirDuracao(5'000);
    posicao.iniciarDoZero();
    agora = 2'000;
    posicao.parar();
    agora = 4'000;
    QCOMPARE(posicao.posicaoMs(), qint64(2'000));

    posicao.zerar();
    agora = 9'000;
    QCOMPARE(posicao.posicaoMs(), qint64(0));
    QCOMPARE(posicao.duracaoMs(), qint64(0));
}

void TstSom::tocadorSemMusica()
{
    TocadorFluidSynth tocador(semDispositivo());
    QVERIFY(!tocador.aberto());
    QCOMPARE(tocador.posicaoMs(), qint64(0));
    tocador.parar(); // nothing open: does nothing
    QVERIFY(!tocador.tocarDoInicio());
    QCOMPARE(tocador.erro(), QStringLiteral("Nenhuma música aberta."));
    QCOMPARE(tocador.posicaoMs(), qint64(0));
}

void TstSom::musicaQueNaoAbre_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QString>("fonte");
    QTest::addColumn<QString>("inicioDoErro");

    QTest::newRow("arquivo ausente") << "QEL99.MID" << fonteDebian << "Não é possível abrir a música ";
    QTest::newRow("não é MIDI") << "texto.MID" << fonteDebian << "Não é possível abrir a música ";
    QTest::newRow("banco de sons ausente") << "QEL1.MID" << "/nao/existe.sf2"
                                           << "Banco de sons para música não encontrado: /nao/existe.sf2";
    QTest::newRow("banco de sons inválido") << "QEL1.MID" << "texto.MID"
                                            << "Não é possível carregar o banco de sons ";
}

void TstSom::musicaQueNaoAbre()
{
    QFETCH(QString, arquivo);
    QFETCH(QString, fonte);
    QFETCH(QString, inicioDoErro);

    QFile texto(tmp_.path() + "/texto.MID");
    QVERIFY(texto.open(QIODevice::WriteOnly));
    texto.write("isto não é uma música");
    texto.close();

    OpcoesFluidSynth opcoes = semDispositivo();
    opcoes.fonteSons = fonte.startsWith('/') ? fonte : tmp_.path() + "/" + fonte;
    TocadorFluidSynth tocador(opcoes);
    QVERIFY(!tocador.abrir(tmp_.path() + "/" + arquivo));
    QVERIFY2(tocador.erro().startsWith(inicioDoErro), qPrintable(tocador.erro()));
    QVERIFY(!tocador.aberto());
    QCOMPARE(tocador.posicaoMs(), qint64(0));
}

void TstSom::semDispositivoDeAudio()
{
    if (!QFileInfo::exists(fonteDebian)) QSKIP("sem o banco de sons General MIDI");
    qint64 agora = 0;
    TocadorFluidSynth tocador(semDispositivo(&agora));
    QVERIFY2(tocador.abrir(musica_), qPrintable(tocador.erro()));
    QVERIFY(tocador.aberto());
    QCOMPARE(tocador.posicaoMs(), qint64(0));

    QVERIFY(!tocador.tocarDoInicio());
    QCOMPARE(tocador.erro(), QStringLiteral("Nenhum dispositivo de som disponível para tocar a música."));
    agora = 300;
    QCOMPARE(tocador.posicaoMs(), qint64(0)); // nothing plays, so the song never ends

    // Opening again (the next song) and closing stay safe after the failure.
    QVERIFY(tocador.abrir(musica_));
    tocador.parar();
    tocador.fechar();
    QVERIFY(!tocador.aberto());
    QCOMPARE(tocador.posicaoMs(), qint64(0));
}

void TstSom::tocaPeloDriverDeArquivo()
{
    if (!QFileInfo::exists(fonteDebian)) QSKIP("sem o banco de sons General MIDI");
    qint64 agora = 0;
    OpcoesFluidSynth opcoes = semDispositivo(&agora);
    opcoes.duracao = nullptr; // read from the file: one beat at 120 per minute
    const QString saida = tmp_.path() + "/saida.raw";
    opcoes.ajustes = {{QStringLiteral("audio.driver"), QStringLiteral("file")},
                      {QStringLiteral("audio.file.name"), saida},
                      {QStringLiteral("audio.file.type"), QStringLiteral("raw")}};
    TocadorFluidSynth tocador(opcoes);
    QVERIFY(tocador.abrir(musica_));
    QVERIFY2(tocador.tocarDoInicio(), qPrintable(tocador.erro()));
    QVERIFY(tocador.erro().isEmpty());

    agora = 120;
    QCOMPARE(tocador.posicaoMs(), qint64(120));
    agora = 60'000;
    QCOMPARE(tocador.posicaoMs(), qint64(500));
    QTRY_VERIFY(QFileInfo(saida).size() > 0); // the synthesiser really renders the song

    // From the start again, then stopped: the position holds.
    QVERIFY(tocador.tocarDoInicio());
    agora += 200;
    tocador.parar();
    agora += 200;
    QCOMPARE(tocador.posicaoMs(), qint64(200));

    // The next song closes this one.
    QVERIFY(tocador.abrir(musica_));
    QCOMPARE(tocador.posicaoMs(), qint64(0));
    QVERIFY(tocador.tocarDoInicio());
    tocador.fechar();
    QCOMPARE(tocador.posicaoMs(), qint64(0));
}

void TstSom::somSemSaidaDeAudio()
{
    if (SomWave::haSaidaDeAudio()) QSKIP("esta máquina tem saída de áudio");
    SomWave som(QStringLiteral(":/sons/nao-existe.wav"));
    som.tocar();
    som.tocar();
    som.parar();
}

QTEST_MAIN(TstSom)
#include "tst_som.moc"
