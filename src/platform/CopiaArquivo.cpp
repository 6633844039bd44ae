#include "platform/CopiaArquivo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

namespace plataforma {
namespace {

constexpr qint64 tamanhoBloco = 64 * 1024;

QString comCaminho(const char* modelo, const QString& caminho)
{
    return QString::fromUtf8(modelo).arg(QDir::toNativeSeparators(caminho));
}

void avisar(const ProgressoCopia& progresso, qint64 copiados, qint64 total)
{
    if (progresso) progresso(copiados, total);
}

void abrirOrigem(QFile& origem)
{
    if (QFileInfo(origem.fileName()).isDir() || !origem.open(QIODevice::ReadOnly))
        throw ErroCopia(comCaminho("Não é possível abrir o arquivo %1", origem.fileName()));
}

void criarDestino(QFile& destino)
{
    const QString pasta = QFileInfo(destino.fileName()).absolutePath();
    if (!QDir().mkpath(pasta) || !destino.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroCopia(comCaminho("Não é possível criar o arquivo %1", destino.fileName()));
}

void copiarBlocos(QFile& origem, QFile& destino, const ProgressoCopia& progresso)
{
    const qint64 total = origem.size();
    std::vector<char> bloco(tamanhoBloco);
    qint64 copiados = 0;
    for (;;) {
        const qint64 lidos = origem.read(bloco.data(), tamanhoBloco);
        if (lidos < 0) throw ErroCopia(QStringLiteral("Erro de leitura de fluxo"));
        if (destino.write(bloco.data(), lidos) != lidos)
            throw ErroCopia(QStringLiteral("Erro de gravação no fluxo"));
        copiados += lidos;
        avisar(progresso, copiados, total);
        if (lidos < tamanhoBloco) break;
    }
    // Buffered bytes written at close would change the date set below.
    if (!destino.flush()) throw ErroCopia(QStringLiteral("Erro de gravação no fluxo"));
}

} // namespace

ErroCopia::ErroCopia(const QString& mensagem) : std::runtime_error(mensagem.toStdString()) {}

QString ErroCopia::mensagem() const { return QString::fromUtf8(what()); }

void copiarArquivo(const QString& origem, const QString& destino, const ProgressoCopia& progresso)
{
    QFile arquivoOrigem(origem);
    abrirOrigem(arquivoOrigem);
    QFile arquivoDestino(destino);
    criarDestino(arquivoDestino);

    copiarBlocos(arquivoOrigem, arquivoDestino, progresso);
    const QDateTime data = arquivoOrigem.fileTime(QFileDevice::FileModificationTime);
    arquivoDestino.setFileTime(data, QFileDevice::FileModificationTime);
    arquivoDestino.close();
    arquivoOrigem.close();
    avisar(progresso, 0, arquivoOrigem.size());
}

} // namespace plataforma
