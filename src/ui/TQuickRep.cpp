#include "TQuickRep.h"

#include "DialogoArquivo.h"
#include "Mensagens.h"
#include "data/TApTable.h"
#include "data/TApolloEnv.h"

#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

// ---- elements ---------------------------------------------------------------------------

TQRPrintable::TQRPrintable(TQRBand* band, int left, int top, int width, int height)
    : QObject(band), Left(left), Top(top), Width(width), Height(height)
{
    if (band && band->report()) Font = band->report()->Font;
}

TQRBand* TQRPrintable::banda() const { return static_cast<TQRBand*>(parent()); }

void TQRPrintable::pintarTexto(QPainter& p, const QString& texto) const
{
    p.setFont(Font);
    p.setPen(Qt::black);
    p.drawText(QRectF(Left, Top, Width, Height), Alignment | Qt::AlignVCenter | Qt::TextDontClip, texto);
}

TQRLabel::TQRLabel(TQRBand* band, int left, int top, int width, int height, const QString& caption)
    : TQRPrintable(band, left, top, width, height), Caption(caption)
{
}

void TQRLabel::pintar(QPainter& p) const { pintarTexto(p, Caption); }

TQRDBText::TQRDBText(TQRBand* band, int left, int top, int width, int height, const QString& dataField)
    : TQRPrintable(band, left, top, width, height), DataField(dataField)
{
}

QString TQRDBText::texto() const
{
    TApTable* tabela = banda()->report()->DataSet;
    if (!tabela || !tabela->active() || tabela->eof()) return QString();
    return tabela->fieldByName(DataField).asString().trimmed();
}

void TQRDBText::pintar(QPainter& p) const { pintarTexto(p, texto()); }

QString TQRSysData::texto()
{
    const QDateTime agora = QDateTime::currentDateTime();
    return agora.toString(TApolloEnv::shortDateFormat(true)) + QLatin1Char(' ')
           + agora.toString(QStringLiteral("hh:mm:ss"));
}

void TQRSysData::pintar(QPainter& p) const { pintarTexto(p, texto()); }

void TQRShape::pintar(QPainter& p) const
{
    p.setPen(QPen(Qt::black, 1));
    const qreal y = Top + Height / 2.0;
    p.drawLine(QPointF(Left, y), QPointF(Left + Width, y));
}

TQRQuadro::TQRQuadro(TQRBand* band, int left, int top, int width, int height, const QString& caption,
                     const QColor& cor)
    : TQRPrintable(band, left, top, width, height), Caption(caption), Cor(cor)
{
    Alignment = Qt::AlignHCenter;
}

void TQRQuadro::pintar(QPainter& p) const
{
    const QRectF caixa(Left, Top, Width, Height);
    p.fillRect(caixa, Cor);
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(caixa);
    p.setFont(Font);
    p.setPen(Qt::black);
    p.drawText(caixa, Qt::AlignCenter, Caption);
}

void cabecalhoDoRelatorio(TQRBand* banda, const QString& titulo, const QString& subtitulo)
{
    auto* credito = new TQRLabel(banda, 12, 4, 200, 16, QStringLiteral("Tarvex 3"));
    credito->Font.setPixelSize(11);
    auto* data = new TQRSysData(banda, 640, 4, 68, 16);
    data->Alignment = Qt::AlignRight;
    auto* nome = new TQRLabel(banda, 0, 30, int(TQuickRep::kLarguraPagina), 36, titulo);
    nome->Font.setPixelSize(29);
    nome->Alignment = Qt::AlignHCenter;
    auto* linha = new TQRLabel(banda, 0, 74, int(TQuickRep::kLarguraPagina), 18, subtitulo);
    linha->Font.setPixelSize(13);
    linha->Alignment = Qt::AlignHCenter;
}

// ---- bands ------------------------------------------------------------------------------

TQRBand::TQRBand(TQuickRep* report, Tipo tipo, int height) : QObject(report), BandType(tipo), Height(height) {}

TQuickRep* TQRBand::report() const { return static_cast<TQuickRep*>(parent()); }

void TQRBand::pintar(QPainter& p, qreal y) const
{
    p.save();
    p.translate(0, y);
    for (QObject* filho : children())
        if (auto* elemento = dynamic_cast<TQRPrintable*>(filho)) elemento->pintar(p);
    p.restore();
}

// ---- report -----------------------------------------------------------------------------

TQuickRep::TQuickRep(QObject* parent) : QObject(parent)
{
    Font.setFamily(QStringLiteral("Arial"));
    Font.setPixelSize(13);
}

QVector<TQRBand*> TQuickRep::bandas(TQRBand::Tipo tipo) const
{
    QVector<TQRBand*> lista;
    for (QObject* filho : children())
        if (auto* banda = dynamic_cast<TQRBand*>(filho); banda && banda->BandType == tipo) lista << banda;
    return lista;
}

void TQuickRep::prepararImpressora(QPrinter& printer) const
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(MargemMm, MargemMm, MargemMm, MargemMm),
                                      QPageLayout::Millimeter));
    printer.setFullPage(false);
    printer.setDocName(ReportTitle);
}

bool TQuickRep::Print(QPrinter* printer)
{
    paginas_ = 0;
    if (!DataSet || !DataSet->active()) return true;
    DataSet->first();
    // Beginning to paint already feeds a page: an empty selection must not come that far.
    if (DataSet->eof() && !PrintIfEmpty) return true;

    QPainter p;
    if (!p.begin(printer)) return false;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Report pixels to device pixels: the printable width is kLarguraPagina report pixels.
    const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
    const qreal escala = area.width() / kLarguraPagina;
    const qreal alturaPagina = area.height() / escala;
    const QTransform transformacao = QTransform::fromScale(escala, escala);
    p.setTransform(transformacao);

    const QVector<TQRBand*> cabecalhos = bandas(TQRBand::Tipo::CabecalhoColunas);
    qreal y = 0;
    paginas_ = 1;
    auto pintar = [&](const TQRBand* banda) {
        banda->pintar(p, y);
        y += banda->Height;
    };
    // A band that does not fit on what is left of the page starts a new one.
    auto caber = [&](const TQRBand* banda) {
        if (y == 0 || y + banda->Height <= alturaPagina) return;
        printer->newPage();
        p.setTransform(transformacao);
        ++paginas_;
        y = 0;
        for (const TQRBand* c : cabecalhos) pintar(c);
    };

    for (const TQRBand* b : bandas(TQRBand::Tipo::Titulo)) pintar(b);
    for (const TQRBand* b : cabecalhos) pintar(b);
    const QVector<TQRBand*> detalhes = bandas(TQRBand::Tipo::Detalhe);
    for (; !DataSet->eof(); DataSet->next()) {
        for (const TQRBand* b : detalhes) {
            caber(b);
            pintar(b);
        }
    }
    for (const TQRBand* b : bandas(TQRBand::Tipo::Resumo)) {
        caber(b);
        pintar(b);
    }
    return true;
}

bool TQuickRep::exportarPdf(const QString& arquivo)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(arquivo);
    prepararImpressora(printer);
    return Print(&printer);
}

void TQuickRep::salvarPdfDaVisualizacao(QWidget* pai)
{
    const QString arquivo =
        ui::escolherArquivo(ui::criarDialogoArquivo(pai, QFileDialog::AcceptSave, QStringLiteral("Salvar PDF"),
                                                    {QStringLiteral("Documentos PDF (*.pdf)")},
                                                    QStringLiteral("Relatorio.pdf")));
    if (arquivo.isEmpty()) return;
    if (!exportarPdf(arquivo)) ui::erro(pai, QStringLiteral("Não foi possível gravar o arquivo ") + arquivo);
    else if (paginas_ == 0) ui::aviso(pai, QStringLiteral("Não há lições a imprimir: o arquivo não foi gravado."));
}

void TQuickRep::Preview(QWidget* pai)
{
    QPrinter printer(QPrinter::HighResolution);
    prepararImpressora(printer);
    QPrintPreviewDialog dialogo(&printer, pai);
    dialogo.setWindowTitle(ReportTitle);
    dialogo.resize(820, 900);
    QObject::connect(&dialogo, &QPrintPreviewDialog::paintRequested, &dialogo, [this](QPrinter* p) { Print(p); });

    // Saving a PDF is one click away, beside the preview's own print button.
    if (auto* barra = dialogo.findChild<QToolBar*>()) {
        barra->addSeparator();
        QAction* salvar = barra->addAction(QStringLiteral("Salvar PDF"));
        salvar->setToolTip(QStringLiteral("Salvar o relatório num arquivo PDF"));
        QObject::connect(salvar, &QAction::triggered, &dialogo, [this, &dialogo] { salvarPdfDaVisualizacao(&dialogo); });
    }
    // The preview opens showing the page at its real size.
    if (auto* folha = dialogo.findChild<QPrintPreviewWidget*>()) {
        folha->setZoomMode(QPrintPreviewWidget::CustomZoom);
        folha->setZoomFactor(1.0);
        // The toolbar's fitting buttons would still look pressed.
        for (QAction* ajuste : dialogo.findChildren<QAction*>()) {
            if (ajuste->objectName() != QLatin1String("fitWidthAction") &&
                ajuste->objectName() != QLatin1String("fitPageAction")) continue;
            if (ajuste->actionGroup()) ajuste->actionGroup()->setExclusive(false);
            ajuste->setChecked(false);
        }
    }
    dialogo.exec();
}
