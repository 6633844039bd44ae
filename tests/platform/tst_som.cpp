#include "platform/OndaWave.h"
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

// A RIFF WAVE file: a format chunk (PCM unless `formato` says otherwise), any chunks given
// before the samples, and the data chunk (whose size may claim more than follows).
QByteArray wave(int canais, int taxa, int bits, const QByteArray& dados, const QByteArray& antes = {},
                int formato = 1, qint64 tamanhoDeclarado = -1)
{
    const auto u16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); };
    const auto u32 = [&](qint64 v) { return u16(int(v & 0xFFFF)) + u16(int((v >> 16) & 0xFFFF)); };
    const QByteArray fmt = u16(formato) + u16(canais) + u32(taxa) + u32(qint64(taxa) * canais * bits / 8)
        + u16(canais * bits / 8) + u16(bits);
    const QByteArray corpo = "WAVE" + QByteArray("fmt ") + u32(fmt.size()) + fmt + antes + "data"
        + u32(tamanhoDeclarado < 0 ? dados.size() : tamanhoDeclarado) + dados;
    return "RIFF" + u32(corpo.size()) + corpo;
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
    void ondaWave_data();
    void ondaWave();
    void somChegaInteiroAoDispositivo();

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

void TstSom::ondaWave_data()
{
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<int>("canais");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("quadros");  // empty: not a wave the device can play

    const QByteArray amostras("\x80\x90\xA0\xB0\xC0\xD0", 6);
    QTest::newRow("8 bits mono") << wave(1, 11025, 8, amostras) << 1 << 8 << amostras;
    QTest::newRow("16 bits estéreo") << wave(2, 22050, 16, amostras + "\1\2\3") << 2 << 16 << amostras + "\1\2";
    // A chunk of odd size is padded to an even one before the next.
    QTest::newRow("pedaço ímpar antes dos dados")
        << wave(1, 8000, 8, amostras, QByteArray("LIST\3\0\0\0abc\0", 12)) << 1 << 8 << amostras;
    QTest::newRow("dados que passam do fim") << wave(1, 8000, 8, amostras, {}, 1, 1000) << 1 << 8 << amostras;
    QTest::newRow("comprimido") << wave(1, 8000, 8, amostras, {}, 2) << 0 << 0 << QByteArray();
    QTest::newRow("24 bits") << wave(1, 8000, 24, amostras) << 0 << 0 << QByteArray();
    QTest::newRow("sem canais") << wave(0, 8000, 8, amostras) << 0 << 0 << QByteArray();
    QTest::newRow("não é RIFF") << QByteArray("RIFX") + wave(1, 8000, 8, amostras).mid(4) << 0 << 0 << QByteArray();
    QTest::newRow("cortado no cabeçalho") << wave(1, 8000, 8, amostras).left(30) << 0 << 0 << QByteArray();
}

void TstSom::ondaWave()
{
    QFETCH(QByteArray, arquivo);
    QFETCH(int, canais);
    QFETCH(int, bits);
    QFETCH(QByteArray, quadros);
    const auto onda = lerOndaWave(arquivo);
    QCOMPARE(onda.has_value(), !quadros.isEmpty());
    if (!onda) return;
    QCOMPARE(onda->canais, canais);
    QCOMPARE(onda->bitsPorAmostra, bits);
    QCOMPARE(onda->quadros, quadros);
}

// Through ALSA's file device: every sample of the wave reaches the device, once per tocar().
void TstSom::somChegaInteiroAoDispositivo()
{
    QByteArray amostras;
    for (int i = 0; i < 3000; ++i) amostras += char(128 + (i % 50));
    const QString arquivoWave = tmp_.path() + "/som.wav";
    const QString saida = tmp_.path() + "/som.raw";
    QFile f(arquivoWave);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wave(1, 11025, 8, amostras));
    f.close();

    {
        SomWave som(arquivoWave, nullptr, QStringLiteral("file:FILE=%1,FORMAT=raw").arg(saida));
        if (!QFileInfo::exists(saida)) {
            som.tocar();
            if (!som.tocando() && !QFileInfo::exists(saida)) QSKIP("sem a biblioteca ALSA");
        }
        QTRY_VERIFY(!som.tocando());
        som.tocar();
        QTRY_VERIFY(!som.tocando());
        som.tocar();
        som.parar();
        QVERIFY(!som.tocando());
    }
    QFile raw(saida);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray escrito = raw.readAll();
    QVERIFY2(escrito.startsWith(amostras + amostras), qPrintable(QString::number(escrito.size())));
}

QTEST_MAIN(TstSom)
#include "tst_som.moc"
