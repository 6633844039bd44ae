#include "ExportarPlanilha.h"

#include "DialogoArquivo.h"
#include "Mensagens.h"

#include <QSaveFile>

namespace ui {

bool gravarPlanilha(const QString& arquivo, const dominio::Planilha& planilha, QString* erro)
{
    const bool ods = arquivo.endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive);
    const std::string bytes = ods ? dominio::planilhaOds(planilha) : dominio::planilhaCsv(planilha);
    QSaveFile f(arquivo);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size())
        && f.commit())
        return true;
    if (erro) *erro = QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(arquivo, f.errorString());
    return false;
}

QString exportarPlanilha(QWidget* pai, const dominio::Planilha& planilha, const QString& nomeSugerido)
{
    const QString csv = QStringLiteral("Planilha CSV (*.csv)");
    const QString ods = QStringLiteral("Planilha OpenDocument (*.ods)");
    QString filtro = csv;
    QString arquivo = escolherArquivo(criarDialogoArquivo(pai, QFileDialog::AcceptSave, QStringLiteral("Exportar"),
                                                          {csv, ods}, nomeSugerido + QStringLiteral(".csv")),
                                      &filtro);
    if (arquivo.isEmpty()) return {};
    // A name typed without its ending gets the one of the chosen kind.
    if (!arquivo.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)
        && !arquivo.endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive))
        arquivo += filtro == ods ? QStringLiteral(".ods") : QStringLiteral(".csv");
    QString mensagem;
    if (!gravarPlanilha(arquivo, planilha, &mensagem)) {
        erro(pai, mensagem);
        return {};
    }
    return arquivo;
}

} // namespace ui
