#pragma once
#include <QColor>
#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QVector>
#include <QWidget>

class QPainter;

// A chart of one series of whole numbers, drawn as a line, an area or bars over a fixed
// left-axis range, a fixed number of points per page. Flat, or in an oblique 3-D view whose
// depth is a percentage of the plot: series and walls are pushed back and up.
class TChart : public QWidget {
    Q_OBJECT
public:
    enum class Tipo { Linha, Area, Barra };

    // A wall of the 3-D box: its colour, its border and its thickness in pixels.
    struct Parede {
        QColor cor = QColor(192, 192, 192);
        QColor corBorda = Qt::black;
        int larguraBorda = 1;
        int tamanho = 0;
    };

    explicit TChart(QWidget* parent = nullptr);

    void setTipo(Tipo tipo);
    Tipo tipo() const { return tipo_; }

    void setTitulo(const QString& texto);
    QString titulo() const { return titulo_; }
    void setTituloEixo(const QString& texto);
    QString tituloEixo() const { return tituloEixo_; }
    void setRodape(const QString& texto);
    QString rodape() const { return rodape_; }
    void setFonteRodape(const QFont& fonte, const QColor& cor);

    // The left axis always shows exactly this range; values outside it are cut off.
    void setFaixa(int minimo, int maximo);
    int minimo() const { return minimo_; }
    int maximo() const { return maximo_; }

    void setValores(const QVector<int>& valores);
    void adicionar(int valor);
    const QVector<int>& valores() const { return valores_; }

    // Paging: pages are counted from 1; with no points there are no pages, yet the page
    // number stays 1.
    void setPontosPorPagina(int pontos);
    int pontosPorPagina() const { return porPagina_; }
    int paginas() const;
    int pagina() const { return pagina_; }
    void setPagina(int pagina);

    void setCorSerie(const QColor& cor);
    QColor corSerie() const { return corSerie_; }
    // Every point in its own colour from the palette, instead of the series colour.
    void setCorPorPonto(bool ligado);
    bool corPorPonto() const { return corPorPonto_; }
    QColor corDoPonto(int indice) const;

    void setParedeInferior(const Parede& parede);
    void setParedeEsquerda(const Parede& parede);

    void setVisao3D(bool ligado);
    bool visao3D() const { return visao3D_; }
    void setProfundidade(int percentual);  // 1 to 100
    int profundidade() const { return profundidade_; }

    QSize sizeHint() const override { return QSize(447, 391); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    // Where things go for the current size: the front plane of the plot and the oblique
    // offset (dx right, dy up) of its back plane.
    struct Geometria {
        QRectF frente;
        qreal dx = 0;
        qreal dy = 0;
        QRectF fundo() const { return frente.translated(dx, -dy); }
    };
    Geometria geometria() const;
    QFont fonte(int pixels, bool negrito = false) const;
    qreal yDoValor(const Geometria& g, qreal valor) const;
    qreal xDoPonto(const Geometria& g, int posicao) const;
    qreal larguraFaixa(const Geometria& g) const;
    QVector<int> marcasEixo(qreal alturaPlot) const;
    int primeiroIndice() const { return (pagina_ - 1) * porPagina_; }
    int pontosNaPagina() const;
    QPolygonF caixa3D(const Geometria& g) const;
    QVector<QPointF> pontosDaPagina(const Geometria& g) const;
    static QVector<QPointF> pedacos(const Geometria& g, QPointF a, QPointF b);

    void desenharFundo(QPainter& p);
    void desenharTitulos(QPainter& p, const Geometria& g);
    void desenharParedes(QPainter& p, const Geometria& g);
    void desenharGrade(QPainter& p, const Geometria& g);
    void desenharEixos(QPainter& p, const Geometria& g);
    void desenharLinha(QPainter& p, const Geometria& g);
    void desenharArea(QPainter& p, const Geometria& g);
    void desenharBarras(QPainter& p, const Geometria& g);
    void desenharBarra(QPainter& p, const Geometria& g, int posicao, int valor, const QColor& cor);
    void desenharFita(QPainter& p, const Geometria& g, QPointF a, QPointF b, const QColor& cor);

    Tipo tipo_ = Tipo::Linha;
    QString titulo_;
    QString tituloEixo_;
    QString rodape_;
    QFont fonteRodape_;
    QColor corRodape_ = Qt::black;
    int minimo_ = 0;
    int maximo_ = 100;
    QVector<int> valores_;
    int porPagina_ = 10;
    int pagina_ = 1;
    QColor corSerie_ = Qt::red;
    bool corPorPonto_ = false;
    Parede paredeInferior_;
    Parede paredeEsquerda_;
    bool visao3D_ = true;
    int profundidade_ = 15;
};
