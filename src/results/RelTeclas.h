#pragma once
#include <QColor>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QVector>

class QWidget;
class TabelaDeRelatorio;
class TQuickRep;

// One key of the keys window's keyboard: where it lies in the keyboard's picture, its colour
// by error rate, its legend and what its tip says.
struct QuadroTecla {
    QRect geometria;
    QColor cor;
    QString legenda;
    int tamanhoFonte;  // pixels
    QString dica;
};

// What the keys window shows, as its printed report takes it.
struct FolhaTeclas {
    QString titulo;  // student, type, lessons
    QSize tamanhoTeclado;
    QVector<QuadroTecla> teclado;
    QVector<QPair<QString, QColor>> legenda;
    QStringList cabecalho;        // the weakest keys' list
    QVector<QStringList> linhas;
};

// The printed keys report: title and date, the coloured keyboard with its legend, then one
// band per weak key. Walks a scratch table of the list's rows that lives as long as it does.
class TfRelTeclas : public QObject {
public:
    explicit TfRelTeclas(const FolhaTeclas& folha, QObject* parent = nullptr);

    TQuickRep* QuickRep1;

    void Preview(QWidget* pai);
    bool exportarPdf(const QString& arquivo);

private:
    void criarTitulo(const FolhaTeclas& folha);
    void criarLista(const FolhaTeclas& folha);

    TabelaDeRelatorio* linhas_;
};
