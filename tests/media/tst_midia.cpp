// The generated media: what other parts of the program rely on (sizes, sample counts, song
// lengths, help topics), and the MIDI length reader against hand-made files.

#include <cmath>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

#include "MidiDuracao.h"
#include "TabelaMusicas.h"
#include "Sonoridade.h"

namespace {

const QString kDados = QStringLiteral(TARVEX_DATA_DIR);

quint32 lerLE(const QByteArray& b, int pos, int bytes) {
    quint32 valor = 0;
    for (int i = bytes - 1; i >= 0; --i) valor = (valor << 8) | static_cast<quint8>(b[pos + i]);
    return valor;
}

// --- Hand-made Standard MIDI Files -------------------------------------------------------

QByteArray vlq(quint32 valor) {
    QByteArray saida(1, static_cast<char>(valor & 0x7F));
    while (valor >>= 7) saida.prepend(static_cast<char>((valor & 0x7F) | 0x80));
    return saida;
}

QByteArray be(quint32 valor, int bytes) {
    QByteArray saida;
    for (int i = bytes - 1; i >= 0; --i) saida.append(static_cast<char>((valor >> (8 * i)) & 0xFF));
    return saida;
}

QByteArray andamento(quint32 delta, quint32 microssegundos) {
    return vlq(delta) + QByteArray("\xFF\x51\x03", 3) + be(microssegundos, 3);
}

QByteArray fimDaTrilha(quint32 delta) { return vlq(delta) + QByteArray("\xFF\x2F\x00", 3); }

QByteArray trilha(const QByteArray& eventos) { return "MTrk" + be(eventos.size(), 4) + eventos; }

QByteArray smf(int formato, quint16 divisao, const QList<QByteArray>& trilhas) {
    QByteArray arquivo = "MThd" + be(6, 4) + be(formato, 2) + be(trilhas.size(), 2) + be(divisao, 2);
    for (const QByteArray& t : trilhas) arquivo += trilha(t);
    return arquivo;
}

// Gated loudness (LUFS) of one of the program's 8-bit mono waves.
double sonoridadeDoSom(const QString& caminho, int taxa) {
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) return niveis::kSilencio;
    std::vector<float> amostras;
    for (char c : arquivo.readAll().mid(44)) amostras.push_back((quint8(c) - 128) / 128.0f);
    return niveis::sonoridadeIntegrada({amostras}, taxa);
}

}  // namespace

class TstMidia : public QObject {
    Q_OBJECT

private slots:
    void sons_data();
    void sons();
    void sonsIgualmenteFortes();
    void imagens_data();
    void imagens();
    void tecladoNumericoEmBmp24();
    void botaoDestacadoMaisClaro_data();
    void botaoDestacadoMaisClaro();
    void duracaoDeArquivosFeitosAMao_data();
    void duracaoDeArquivosFeitosAMao();
    void programasDaMusica();
    void musicas_data();
    void musicas();
    void ajudaTemTodosOsTopicos();
    void ajudaSemLinksQuebrados();
};

void TstMidia::sons_data() {
    QTest::addColumn<QString>("caminho");
    QTest::addColumn<int>("taxa");
    QTest::addColumn<int>("amostras");
    QTest::newRow("clique") << ":/sons/clique.wav" << 11025 << 4795;
    QTest::newRow("erro") << ":/sons/erro.wav" << 11025 << 3840;
    QTest::newRow("fanfarra") << ":/sons/fanfarra.wav" << 22050 << 152832;
}

// A wrong keystroke is announced, not shouted, and a new record is not louder than a click:
// the three sounds lie within 2 LU of their median as the ear hears them (gated loudness).
void TstMidia::sonsIgualmenteFortes() {
    const std::vector<double> sonoridades = {sonoridadeDoSom(":/sons/clique.wav", 11025),
                                             sonoridadeDoSom(":/sons/erro.wav", 11025),
                                             sonoridadeDoSom(":/sons/fanfarra.wav", 22050)};
    const double meio = niveis::mediana(sonoridades);
    for (double l : sonoridades)
        QVERIFY2(std::abs(l - meio) <= 2.0, qPrintable(QString("%1 LUFS, mediana %2").arg(l).arg(meio)));
}

void TstMidia::sons() {
    QFETCH(QString, caminho);
    QFETCH(int, taxa);
    QFETCH(int, amostras);
    QFile arquivo(caminho);
    QVERIFY2(arquivo.open(QIODevice::ReadOnly), qPrintable(caminho));
    const QByteArray wav = arquivo.readAll();
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
    QCOMPARE(int(lerLE(wav, 4, 4)), wav.size() - 8);
    QCOMPARE(wav.mid(12, 4), QByteArray("fmt "));
    QCOMPARE(lerLE(wav, 20, 2), 1u);   // PCM
    QCOMPARE(lerLE(wav, 22, 2), 1u);   // mono
    QCOMPARE(int(lerLE(wav, 24, 4)), taxa);
    QCOMPARE(lerLE(wav, 34, 2), 8u);   // bits per sample
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(int(lerLE(wav, 40, 4)), amostras);
    QVERIFY(wav.size() >= 44 + amostras);

    // Audible, centred on silence (128) and never at the rails.
    int menor = 255, maior = 0;
    for (int i = 0; i < amostras; ++i) {
        const int a = static_cast<quint8>(wav[44 + i]);
        menor = qMin(menor, a);
        maior = qMax(maior, a);
    }
    QVERIFY2(maior - menor > 100, "som baixo demais");
    QVERIFY2(menor > 2 && maior < 253, "som saturado");
}

void TstMidia::imagens_data() {
    QTest::addColumn<QString>("caminho");
    QTest::addColumn<QSize>("tamanho");
    for (const char* botao : {"Digi", "Cad", "Rec", "Ajuda", "Config", "Licao", "Exige", "Sair"})
        for (int indice : {0, 1}) {
            const QString caminho = QStringLiteral(":/imagens/botoes/%1%2.png").arg(botao).arg(indice);
            QTest::newRow(qPrintable(caminho)) << caminho << QSize(250, 100);
        }
    const struct { const char* caminho; int largura, altura; } outras[] = {
        {":/imagens/abertura.png", 400, 200},  {":/imagens/icone.png", 256, 256},
        {":/imagens/bloco.png", 347, 243},     {":/imagens/certo.png", 18, 18},
        {":/imagens/errado.png", 18, 18},      {":/imagens/feliz.png", 32, 32},
        {":/imagens/triste.png", 32, 32},      {":/imagens/trofeu.png", 110, 194},
        {":/imagens/cadastro.png", 117, 237},  {":/imagens/config.png", 117, 300},
        {":/imagens/exigencias.png", 117, 300}, {":/imagens/remover.png", 16, 16},
        {":/imagens/ajuda16.png", 16, 16},     {":/imagens/sair16.png", 16, 16},
        {":/imagens/ok16.png", 16, 16},
    };
    for (const auto& o : outras) QTest::newRow(o.caminho) << QString(o.caminho) << QSize(o.largura, o.altura);
    QTest::newRow("Tnumero.bmp") << kDados + "/Tnumero.bmp" << QSize(329, 161);
    QTest::newRow("icone.png") << kDados + "/icone.png" << QSize(256, 256);
}

void TstMidia::imagens() {
    QFETCH(QString, caminho);
    QFETCH(QSize, tamanho);
    const QImage imagem(caminho);
    QVERIFY2(!imagem.isNull(), qPrintable(caminho));
    QCOMPARE(imagem.size(), tamanho);
}

void TstMidia::tecladoNumericoEmBmp24() {
    QFile arquivo(kDados + "/Tnumero.bmp");
    QVERIFY(arquivo.open(QIODevice::ReadOnly));
    const QByteArray bmp = arquivo.read(54);
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(lerLE(bmp, 28, 2), 24u);
}

void TstMidia::botaoDestacadoMaisClaro_data() {
    QTest::addColumn<QString>("botao");
    for (const char* b : {"Digi", "Cad", "Rec", "Ajuda", "Config", "Licao", "Exige", "Sair"})
        QTest::newRow(b) << QString(b);
}

// Index 0 is the highlighted picture of a button: the menu swaps them on hover.
void TstMidia::botaoDestacadoMaisClaro() {
    QFETCH(QString, botao);
    auto brilhoMedio = [](const QString& caminho) {
        const QImage imagem = QImage(caminho).convertToFormat(QImage::Format_RGB32);
        qint64 soma = 0;
        for (int y = 0; y < imagem.height(); ++y)
            for (int x = 0; x < imagem.width(); ++x) soma += qGray(imagem.pixel(x, y));
        return double(soma) / (imagem.width() * imagem.height());
    };
    const double destacado = brilhoMedio(":/imagens/botoes/" + botao + "0.png");
    const double normal = brilhoMedio(":/imagens/botoes/" + botao + "1.png");
    QVERIFY2(destacado > normal * 1.15, qPrintable(QStringLiteral("%1 contra %2").arg(destacado).arg(normal)));
}

// Program changes of every track and channel, running status included; controller values and
// note numbers are not programs.
void TstMidia::programasDaMusica() {
    const QByteArray primeira = vlq(0) + QByteArray("\xB0\x00\x05", 3) + vlq(0) + QByteArray("\xC0\x1C", 2) +
                                vlq(0) + QByteArray("\x90\x3C\x40", 3) + fimDaTrilha(96);
    const QByteArray segunda = vlq(0) + QByteArray("\xC1\x0A", 2) + vlq(48) + QByteArray("\x0B", 1) +
                               vlq(0) + QByteArray("\xC9\x00", 2) + fimDaTrilha(0);
    const auto programas = plataforma::programasMidiDeBytes(smf(1, 96, {primeira, segunda}));
    QVERIFY(programas);
    QCOMPARE(*programas, (QSet<int>{0x1C, 0x0A, 0x0B, 0}));
    QVERIFY(!plataforma::programasMidiDeBytes(smf(0, 96, {vlq(0) + QByteArray("\xC0", 1)})));
}

void TstMidia::duracaoDeArquivosFeitosAMao_data() {
    QTest::addColumn<QByteArray>("arquivo");
    QTest::addColumn<qint64>("esperado");

    // 192 ticks at 1 s per quarter (96 ticks), then a tempo change and 96 ticks at 0.5 s;
    // the note off uses running status after the meta event.
    const QByteArray mudaAndamento = andamento(0, 1000000) + vlq(0) + QByteArray("\x90\x3C\x40", 3) +
                                     andamento(192, 500000) + vlq(96) + QByteArray("\x3C\x00", 2) + fimDaTrilha(0);
    QTest::newRow("formato 0, mudança de andamento") << smf(0, 96, {mudaAndamento}) << qint64(2500);

    // The last event is in the third track, after the other tracks have ended.
    const QByteArray regente = andamento(0, 600000) + fimDaTrilha(0);
    const QByteArray nota = vlq(0) + QByteArray("\x90\x40\x50", 3) + vlq(480) + QByteArray("\x80\x40\x40", 3) + fimDaTrilha(0);
    QTest::newRow("formato 1, última trilha mais longa")
        << smf(1, 480, {regente, nota, fimDaTrilha(960)}) << qint64(1200);

    QTest::newRow("sem andamento: 120 por minuto") << smf(0, 100, {fimDaTrilha(300)}) << qint64(1500);
    QTest::newRow("SMPTE 25 quadros, 40 ticks") << smf(0, 0xE728, {fimDaTrilha(2500)}) << qint64(2500);
    QTest::newRow("trilha sem fim marcado") << smf(0, 96, {andamento(96, 500000)}) << qint64(500);

    const QByteArray completo = smf(0, 96, {mudaAndamento});
    QTest::newRow("truncado") << completo.left(completo.size() - 3) << qint64(-1);
    QTest::newRow("não é MIDI") << QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) << qint64(-1);
    QTest::newRow("vazio") << QByteArray() << qint64(-1);
    QTest::newRow("formato 2") << smf(2, 96, {fimDaTrilha(96)}) << qint64(-1);
    QTest::newRow("dado sem status") << smf(0, 96, {vlq(0) + QByteArray("\x3C\x40", 2) + fimDaTrilha(0)}) << qint64(-1);
}

void TstMidia::duracaoDeArquivosFeitosAMao() {
    QFETCH(QByteArray, arquivo);
    QFETCH(qint64, esperado);
    QCOMPARE(plataforma::duracaoMidiMsDeBytes(arquivo), esperado);

    QTemporaryDir pasta;
    const QString caminho = pasta.filePath("teste.mid");
    QFile saida(caminho);
    QVERIFY(saida.open(QIODevice::WriteOnly));
    saida.write(arquivo);
    saida.close();
    QCOMPARE(plataforma::duracaoMidiMs(caminho), esperado);
}

void TstMidia::musicas_data() {
    QTest::addColumn<int>("numero");
    for (int n = 1; n <= 18; ++n) QTest::newRow(qPrintable(QStringLiteral("QEL%1.MID").arg(n))) << n;
}

// The song table of the main menu must hold each song's length as the reader computes it.
void TstMidia::musicas() {
    QFETCH(int, numero);
    const QString caminho = kDados + QStringLiteral("/som/QEL%1.MID").arg(numero);
    QVERIFY2(QFile::exists(caminho), qPrintable(caminho));
    const qint64 duracao = plataforma::duracaoMidiMs(caminho);
    QVERIFY2(duracao >= 40000 && duracao <= 120000, qPrintable(QString::number(duracao)));
    QCOMPARE(duracao, qint64(kFimMusica[numero]));
}

void TstMidia::ajudaTemTodosOsTopicos() {
    const QString indice = kDados + "/ajuda/index.html";
    QFile arquivo(indice);
    QVERIFY2(arquivo.open(QIODevice::ReadOnly), qPrintable(indice));
    const QString conteudo = QString::fromUtf8(arquivo.readAll());
    for (int contexto : {20, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}) {
        const QString pagina = QStringLiteral("%1.html").arg(contexto);
        QVERIFY2(QFile::exists(kDados + "/ajuda/" + pagina), qPrintable(pagina));
        QVERIFY2(conteudo.contains("href=\"" + pagina + "\""), qPrintable("o sumário não leva a " + pagina));
    }
}

void TstMidia::ajudaSemLinksQuebrados() {
    const QDir pasta(kDados + "/ajuda");
    const QStringList paginas = pasta.entryList({"*.html"}, QDir::Files);
    QVERIFY(paginas.size() >= 10);
    static const QRegularExpression referencia(QStringLiteral("(?:href|src)=\"([^\"#:]+)[^\"]*\""));
    for (const QString& nome : paginas) {
        QFile arquivo(pasta.filePath(nome));
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(arquivo.readAll());
        QVERIFY2(html.contains("<title>"), qPrintable(nome));
        auto encontrados = referencia.globalMatch(html);
        while (encontrados.hasNext()) {
            const QString alvo = encontrados.next().captured(1);
            QVERIFY2(QFile::exists(pasta.filePath(alvo)), qPrintable(nome + " -> " + alvo));
        }
    }
}

QTEST_GUILESS_MAIN(TstMidia)
#include "tst_midia.moc"
