#pragma once
#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QVector>

class QPainter;
class QPrinter;
class QWidget;
class TApTable;
class TQRBand;
class TQuickRep;

// A banded report bound to a table: a title band on the first page, a column header on every
// page, one detail band per visible record and a summary band at the end. Bands and their
// elements are placed in report pixels (96 per inch at 100 % zoom); the page's printable
// width is 718 of them on A4 with 10 mm margins, and everything is scaled to the paper.
// One painting routine serves the print preview, the printer and PDF files.

// Something printed on a band, at Left/Top within the band, Width x Height in report pixels.
class TQRPrintable : public QObject {
public:
    TQRPrintable(TQRBand* band, int left, int top, int width, int height);

    int Left, Top, Width, Height;
    QFont Font;
    Qt::Alignment Alignment = Qt::AlignLeft;

    TQRBand* banda() const;
    virtual void pintar(QPainter& p) const = 0;

protected:
    // Text drawn like an auto-sized label: it may run past Width (a right-aligned one grows
    // to the left), it is never cut.
    void pintarTexto(QPainter& p, const QString& texto) const;
};

class TQRLabel : public TQRPrintable {
public:
    TQRLabel(TQRBand* band, int left, int top, int width, int height, const QString& caption = QString());
    QString Caption;
    void pintar(QPainter& p) const override;
};

// The value of a field of the report's table in the current record.
class TQRDBText : public TQRPrintable {
public:
    TQRDBText(TQRBand* band, int left, int top, int width, int height, const QString& dataField);
    QString DataField;
    QString texto() const;
    void pintar(QPainter& p) const override;
};

// The date and time when the page is painted (short date with a four-digit year).
class TQRSysData : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    static QString texto();
    void pintar(QPainter& p) const override;
};

// A horizontal line across Width, in the middle of Height.
class TQRShape : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    void pintar(QPainter& p) const override;
};

// A box filled with a colour and framed, its caption centred (lines split at "\n"): a key of
// a keyboard, a colour of a legend.
class TQRQuadro : public TQRPrintable {
public:
    TQRQuadro(TQRBand* band, int left, int top, int width, int height, const QString& caption, const QColor& cor);
    QString Caption;
    QColor Cor;
    void pintar(QPainter& p) const override;
};

class TQRBand : public QObject {
public:
    enum class Tipo { Titulo, CabecalhoColunas, Detalhe, Resumo };
    TQRBand(TQuickRep* report, Tipo tipo, int height);

    Tipo BandType;
    int Height;

    TQuickRep* report() const;
    // The band with its top at y (report pixels from the printable area's top).
    void pintar(QPainter& p, qreal y) const;
};

// The head of the program's reports on a title band: "Tarvex 3" and the date and time at the
// top, the title centred in large type, a line under it centred.
void cabecalhoDoRelatorio(TQRBand* banda, const QString& titulo, const QString& subtitulo);

class TQuickRep : public QObject {
public:
    explicit TQuickRep(QObject* parent = nullptr);

    static constexpr qreal kLarguraPagina = 718;  // report pixels across the printable width

    TApTable* DataSet = nullptr;
    QString ReportTitle;            // title of the preview window
    qreal MargemMm = 10;            // on every side of an A4 portrait page
    bool PrintIfEmpty = false;      // with no record, print no band at all
    QFont Font;                     // given to every element made after it is set

    // The print preview, modal; the user prints or saves a PDF from it. Returns when closed.
    void Preview(QWidget* pai);
    // Prints straight into a PDF file. False when the file cannot be written. An empty
    // selection writes no file at all (paginas() is then 0).
    bool exportarPdf(const QString& arquivo);
    // Paints every page on a printer already set up (prepararImpressora). False when the
    // printer cannot be painted on. The table is walked from its first visible record and
    // left at its end. An empty selection does not touch the printer, so no blank page comes out.
    bool Print(QPrinter* printer);
    void prepararImpressora(QPrinter& printer) const;

    // Pages made by the last Print.
    int paginas() const { return paginas_; }

private:
    QVector<TQRBand*> bandas(TQRBand::Tipo tipo) const;
    void salvarPdfDaVisualizacao(QWidget* pai);

    int paginas_ = 0;
};
