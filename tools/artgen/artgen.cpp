// artgen: paints every picture of the program.
//
//   artgen <resource folder> <data folder>
//   artgen --icones <icon theme folder>
//
// The resource folder receives imagens/... (packed into the program); the data folder receives
// Tnumero.bmp and icone.png, which the program and the desktop read as files. With --icones the
// program's icon is painted at each size of the desktop's icon theme, as NxN/apps/tarvex3.png.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cstdio>
#include <zlib.h>

#include "Figuras.h"

namespace {

// One PNG chunk: length, type, data and the CRC of type and data.
void anexarBloco(QByteArray& png, const char* tipo, const QByteArray& dados) {
    QByteArray bloco(tipo, 4);
    bloco += dados;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bloco.constData()), static_cast<uInt>(bloco.size()));
    char numero[4];
    qToBigEndian<quint32>(static_cast<quint32>(dados.size()), numero);
    png.append(numero, 4);
    png += bloco;
    qToBigEndian<quint32>(static_cast<quint32>(crc), numero);
    png.append(numero, 4);
}

// The pictures are PNG files whose rows are stored unfiltered and deflated at the highest
// level: the same pixels as Qt's writer, a smaller file, and about half the decoding time
// (the menu decodes its pictures while it starts).
QByteArray codificarPng(const QImage& imagem) {
    const bool alfa = imagem.hasAlphaChannel();
    const QImage linhas = imagem.convertToFormat(alfa ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int bytesLinha = linhas.width() * (alfa ? 4 : 3);
    QByteArray cru;
    cru.reserve((bytesLinha + 1) * linhas.height());
    for (int y = 0; y < linhas.height(); ++y) {
        cru.append('\0');  // filter type None
        cru.append(reinterpret_cast<const char*>(linhas.constScanLine(y)), bytesLinha);
    }
    uLongf tamanho = compressBound(static_cast<uLong>(cru.size()));
    QByteArray comprimido(static_cast<qsizetype>(tamanho), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(comprimido.data()), &tamanho,
                  reinterpret_cast<const Bytef*>(cru.constData()), static_cast<uLong>(cru.size()), 9) != Z_OK)
        return {};
    comprimido.truncate(static_cast<qsizetype>(tamanho));

    QByteArray cabecalho(13, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(linhas.width()), cabecalho.data());
    qToBigEndian<quint32>(static_cast<quint32>(linhas.height()), cabecalho.data() + 4);
    cabecalho[8] = 8;                 // bits per sample
    cabecalho[9] = alfa ? 6 : 2;      // RGBA or RGB
    QByteArray resolucao(9, '\0');   // pixels per metre, as Qt writes them
    qToBigEndian<quint32>(static_cast<quint32>(imagem.dotsPerMeterX()), resolucao.data());
    qToBigEndian<quint32>(static_cast<quint32>(imagem.dotsPerMeterY()), resolucao.data() + 4);
    resolucao[8] = 1;

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    anexarBloco(png, "IHDR", cabecalho);
    anexarBloco(png, "pHYs", resolucao);
    anexarBloco(png, "IDAT", comprimido);
    anexarBloco(png, "IEND", {});
    return png;
}

bool gravar(const QImage& imagem, const QString& caminho, const char* formato = nullptr) {
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    bool ok = false;
    if (formato && qstrcmp(formato, "BMP") == 0) {
        ok = imagem.convertToFormat(QImage::Format_RGB888).save(caminho, formato);
    } else {
        const QByteArray png = codificarPng(imagem);
        QFile arquivo(caminho);
        ok = !png.isEmpty() && arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate)
             && arquivo.write(png) == png.size() && arquivo.flush();
    }
    if (!ok) std::fprintf(stderr, "artgen: não foi possível gravar %s\n", qPrintable(caminho));
    return ok;
}

// The eight main-menu buttons: file stem, title, subtitle, icon and accent colour.
const Botao kBotoes[] = {
    {"Digi", "Digitação", "Praticar as lições", Icone::Teclado, QColor(40, 200, 90)},
    {"Cad", "Cadastro", "Alunos", Icone::Aluno, QColor(50, 140, 255)},
    {"Rec", "Recordes", "As melhores marcas", Icone::Trofeu, QColor(245, 180, 20)},
    {"Ajuda", "Ajuda", "Como usar o Tarvex", Icone::Ajuda, QColor(30, 200, 220)},
    {"Config", "Configurar", "Teclado, som e música", Icone::Engrenagem, QColor(150, 160, 185)},
    {"Licao", "Lições", "Editar os textos", Icone::Caderno, QColor(250, 120, 40)},
    {"Exige", "Exigências", "Velocidade e precisão", Icone::Prancheta, QColor(170, 100, 240)},
    {"Sair", "Sair", "Finalizar o Tarvex", Icone::Porta, QColor(235, 60, 60)},
};

// The sizes desktops look for in the hicolor theme.
const int kTamanhosIcone[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool gravarIcones(const QString& tema) {
    bool ok = true;
    for (int lado : kTamanhosIcone) {
        const QString tamanho = QString::number(lado) + "x" + QString::number(lado);
        ok &= gravar(pintarIconePrograma(lado), tema + "/" + tamanho + "/apps/tarvex3.png");
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--icones") == 0)
        return gravarIcones(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 3) {
        std::fprintf(stderr, "uso: artgen <pasta de recursos> <pasta de dados>\n"
                             "     artgen --icones <pasta do tema de ícones>\n");
        return 2;
    }
    const QString recursos = QString::fromLocal8Bit(argv[1]) + "/imagens/";
    const QString dados = QString::fromLocal8Bit(argv[2]) + "/";

    bool ok = true;
    for (const Botao& b : kBotoes) {
        ok &= gravar(pintarBotao(b, true), recursos + "botoes/" + b.arquivo + "0.png");
        ok &= gravar(pintarBotao(b, false), recursos + "botoes/" + b.arquivo + "1.png");
    }
    const QImage icone = pintarIconePrograma();
    ok &= gravar(pintarAbertura(), recursos + "abertura.png");
    ok &= gravar(icone, recursos + "icone.png");
    ok &= gravar(pintarBloco(), recursos + "bloco.png");
    ok &= gravar(pintarMarca(Icone::Certo, QColor(30, 170, 45), 18), recursos + "certo.png");
    ok &= gravar(pintarMarca(Icone::Errado, QColor(215, 35, 35), 18), recursos + "errado.png");
    ok &= gravar(pintarRosto(true), recursos + "feliz.png");
    ok &= gravar(pintarRosto(false), recursos + "triste.png");
    ok &= gravar(pintarTrofeuCartum(), recursos + "trofeu.png");
    ok &= gravar(pintarLateral("Alunos", Icone::Aluno, QColor(50, 140, 255), 237), recursos + "cadastro.png");
    ok &= gravar(pintarLateral("Configurações", Icone::Engrenagem, QColor(110, 125, 160), 300),
                 recursos + "config.png");
    ok &= gravar(pintarLateral("Exigências", Icone::Prancheta, QColor(150, 90, 220), 300),
                 recursos + "exigencias.png");
    ok &= gravar(pintarMarca(Icone::Lixeira, QColor(200, 40, 40), 16), recursos + "remover.png");
    ok &= gravar(pintarAjuda16(), recursos + "ajuda16.png");
    ok &= gravar(pintarMarca(Icone::Porta, QColor(170, 30, 30), 16), recursos + "sair16.png");
    ok &= gravar(pintarMarca(Icone::Certo, QColor(30, 160, 45), 16), recursos + "ok16.png");

    ok &= gravar(pintarTecladoNumerico(), dados + "Tnumero.bmp", "BMP");
    ok &= gravar(icone, dados + "icone.png");
    return ok ? 0 : 1;
}
