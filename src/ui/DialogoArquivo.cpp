#include "DialogoArquivo.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QSplitter>
#include <QStandardPaths>
#include <QTreeView>

#include <iterator>
#include <memory>

namespace ui {
namespace {

QString& ultimaPasta()
{
    static QString pasta;
    return pasta;
}

// The file list's columns as Qt gives them: name, size, type, date modified.
enum Coluna { kNome, kTamanho, kTipo, kData };

// Qt's file list takes the folder's type from a text its Portuguese translation lacks, and
// dates and sizes from the system's language, not the program's: those cells are written here.
class ArquivosEmPortugues : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& indice, int papel) const override
    {
        const auto* arquivos = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (papel != Qt::DisplayRole || !arquivos || !indice.isValid())
            return QIdentityProxyModel::data(indice, papel);
        const QFileInfo info = arquivos->fileInfo(mapToSource(indice));
        const QLocale local(QLocale::Portuguese, QLocale::Brazil);
        switch (indice.column()) {
        case kTamanho:
            return info.isDir() ? QString() : local.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case kTipo:
            if (info.isDir()) return QStringLiteral("Pasta");
            break;
        case kData:
            return local.toString(info.lastModified(), QStringLiteral("dd/MM/yyyy HH:mm"));
        default:
            break;
        }
        return QIdentityProxyModel::data(indice, papel);
    }

    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override
    {
        static const char* const titulos[] = {"Nome", "Tamanho", "Tipo", "Data de modificação"};
        if (orientacao == Qt::Horizontal && papel == Qt::DisplayRole && secao >= 0 && secao < int(std::size(titulos)))
            return QString::fromUtf8(titulos[secao]);
        return QIdentityProxyModel::headerData(secao, orientacao, papel);
    }
};

} // namespace

QString pastaDosArquivos()
{
    if (!ultimaPasta().isEmpty() && QFileInfo(ultimaPasta()).isDir()) return ultimaPasta();
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documentos).isDir() ? documentos : QDir::homePath();
}

QFileDialog* criarDialogoArquivo(QWidget* pai, QFileDialog::AcceptMode modo, const QString& titulo,
                                 const QStringList& filtros, const QString& nomeSugerido)
{
    auto* dialogo = new QFileDialog(pai, titulo, pastaDosArquivos());
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setProxyModel(new ArquivosEmPortugues(dialogo));
    dialogo->setAcceptMode(modo);
    dialogo->setFileMode(modo == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialogo->setNameFilters(filtros);
    dialogo->setLabelText(QFileDialog::LookIn, QStringLiteral("Examinar:"));
    dialogo->setLabelText(QFileDialog::FileName, QStringLiteral("Nome do arquivo:"));
    dialogo->setLabelText(QFileDialog::FileType, QStringLiteral("Tipo de arquivo:"));
    dialogo->setLabelText(QFileDialog::Accept, modo == QFileDialog::AcceptOpen ? QStringLiteral("&Abrir")
                                                                                : QStringLiteral("&Salvar"));
    dialogo->setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    if (!nomeSugerido.isEmpty()) dialogo->selectFile(nomeSugerido);
    dialogo->resize(760, 460);
    // Beside the computer and the user's folder, the documents, where the dialog starts.
    QList<QUrl> atalhos = dialogo->sidebarUrls();
    const QUrl documentos = QUrl::fromLocalFile(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (QFileInfo(documentos.toLocalFile()).isDir() && !atalhos.contains(documentos)) atalhos << documentos;
    dialogo->setSidebarUrls(atalhos);
    if (auto* divisao = dialogo->findChild<QSplitter*>()) divisao->setSizes({150, 610});
    // The detailed list's columns as wide as what they show.
    if (auto* lista = dialogo->findChild<QTreeView*>()) {
        lista->header()->setSectionResizeMode(kNome, QHeaderView::Stretch);
        for (int c : {kTamanho, kTipo, kData}) lista->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    return dialogo;
}

QString escolherArquivo(QFileDialog* dialogo, QString* filtroEscolhido)
{
    const std::unique_ptr<QFileDialog> dono(dialogo);
    if (dialogo->exec() != QDialog::Accepted || dialogo->selectedFiles().isEmpty()) return {};
    if (filtroEscolhido) *filtroEscolhido = dialogo->selectedNameFilter();
    const QString arquivo = dialogo->selectedFiles().constFirst();
    ultimaPasta() = QFileInfo(arquivo).absolutePath();
    return arquivo;
}

} // namespace ui
