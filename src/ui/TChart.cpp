#include "TChart.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Colours of the points when each takes its own; the first is replaced by the series colour.
// No white or pale yellow: they would vanish on the white back wall.
const std::array<QColor, 12> kPaleta = {
    QColor(255, 0, 0),   QColor(0, 160, 0),   QColor(255, 170, 0), QColor(0, 0, 255),
    QColor(220, 0, 220), QColor(0, 150, 150), QColor(255, 110, 0), QColor(128, 0, 128),
    QColor(0, 150, 255), QColor(140, 80, 20), QColor(120, 190, 0), QColor(128, 128, 128)};

// The deepest view pushes the back plane this share of the plot's smaller side away.
constexpr qreal kProfundidadeMaxima = 0.4;
// The oblique direction of depth: right, and up by this share of the move to the right.
constexpr qreal kInclinacao = 0.75;
constexpr int kMargem = 10;
constexpr int kTraco = 4;  // length of the axis tick marks
constexpr qreal kLarguraBarra = 0.6;  // share of a point's slot taken by its bar

QPointF atras(QPointF p, qreal dx, qreal dy) { return p + QPointF(dx, -dy); }

int espessuraVisivel(const TChart::Parede& parede)
{
    return parede.tamanho > 0 ? parede.tamanho + 2 * parede.larguraBorda : 0;
}

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent)
{
    fonteRodape_ = fonte(11);
    setMinimumSize(200, 160);
}

void TChart::setTipo(Tipo tipo) { tipo_ = tipo; update(); }
void TChart::setTitulo(const QString& texto) { titulo_ = texto; update(); }
void TChart::setTituloEixo(const QString& texto) { tituloEixo_ = texto; update(); }
void TChart::setRodape(const QString& texto) { rodape_ = texto; update(); }

void TChart::setFonteRodape(const QFont& fonte, const QColor& cor)
{
    fonteRodape_ = fonte;
    corRodape_ = cor;
    update();
}

void TChart::setFaixa(int minimo, int maximo)
{
    minimo_ = std::min(minimo, maximo);
    maximo_ = std::max(minimo, maximo);
    if (maximo_ == minimo_) ++maximo_;
    update();
}

void TChart::setValores(const QVector<int>& valores)
{
    valores_ = valores;
    setPagina(pagina_);
    update();
}

void TChart::adicionar(int valor)
{
    valores_.append(valor);
    update();
}

void TChart::setPontosPorPagina(int pontos)
{
    porPagina_ = std::max(1, pontos);
    setPagina(pagina_);
    update();
}

int TChart::paginas() const { return int((valores_.size() + porPagina_ - 1) / porPagina_); }

void TChart::setPagina(int pagina)
{
    pagina_ = std::clamp(pagina, 1, std::max(1, paginas()));
    update();
}

void TChart::setCorSerie(const QColor& cor) { corSerie_ = cor; update(); }
void TChart::setCorPorPonto(bool ligado) { corPorPonto_ = ligado; update(); }

QColor TChart::corDoPonto(int indice) const
{
    if (!corPorPonto_) return corSerie_;
    const int i = int(indice % int(kPaleta.size()));
    return i == 0 ? corSerie_ : kPaleta.at(size_t(i));
}

void TChart::setParedeInferior(const Parede& parede) { paredeInferior_ = parede; update(); }
void TChart::setParedeEsquerda(const Parede& parede) { paredeEsquerda_ = parede; update(); }
void TChart::setVisao3D(bool ligado) { visao3D_ = ligado; update(); }
void TChart::setProfundidade(int percentual) { profundidade_ = std::clamp(percentual, 1, 100); update(); }

int TChart::pontosNaPagina() const
{
    return std::clamp(int(valores_.size()) - primeiroIndice(), 0, porPagina_);
}

QFont TChart::fonte(int pixels, bool negrito) const
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(negrito);
    return f;
}

// ---- Layout --------------------------------------------------------------------------------

TChart::Geometria TChart::geometria() const
{
    const QFontMetrics mTitulo(fonte(14, true));
    const QFontMetrics mRotulo(fonte(11));
    const QFontMetrics mEixo(fonte(12, true));
    const int larguraRotulos = std::max(mRotulo.horizontalAdvance(QString::number(maximo_)),
                                        mRotulo.horizontalAdvance(QString::number(minimo_)));

    int topo = kMargem + (titulo_.isEmpty() ? 0 : mTitulo.height() + 6);
    int base = height() - kMargem - mRotulo.height() - kTraco - 2;
    if (!rodape_.isEmpty()) base -= QFontMetrics(fonteRodape_).height() + 4;
    base -= espessuraVisivel(paredeInferior_);
    int esquerda = kMargem + (tituloEixo_.isEmpty() ? 0 : mEixo.height() + 6) + larguraRotulos
                   + kTraco + 4 + espessuraVisivel(paredeEsquerda_);
    const int direita = width() - kMargem - 6;
    topo += mRotulo.height() / 2;  // room for half of the top axis label

    QRectF area(esquerda, topo, std::max(10, direita - esquerda), std::max(10, base - topo));
    Geometria g;
    if (visao3D_) {
        const qreal d = profundidade_ / 100.0 * kProfundidadeMaxima
                        * std::min(area.width(), area.height());
        g.dx = d;
        g.dy = d * kInclinacao;
    }
    g.frente = QRectF(area.left(), area.top() + g.dy, area.width() - g.dx, area.height() - g.dy);
    return g;
}

qreal TChart::yDoValor(const Geometria& g, qreal valor) const
{
    const qreal f = (valor - minimo_) / qreal(maximo_ - minimo_);
    return g.frente.bottom() - f * g.frente.height();
}

qreal TChart::larguraFaixa(const Geometria& g) const { return g.frente.width() / porPagina_; }

qreal TChart::xDoPonto(const Geometria& g, int posicao) const
{
    return g.frente.left() + larguraFaixa(g) * (posicao + 0.5);
}

// The outline of the plot box as seen: front plane and back plane joined.
QPolygonF TChart::caixa3D(const Geometria& g) const
{
    const QRectF f = g.frente;
    const QRectF b = g.fundo();
    return QPolygonF({f.bottomLeft(), f.topLeft(), b.topLeft(), b.topRight(), b.bottomRight(),
                      f.bottomRight()});
}

// Labelled values of the left axis: the smallest round step whose labels do not crowd,
// preferring one that labels both ends of the range.
QVector<int> TChart::marcasEixo(qreal alturaPlot) const
{
    const int maxRotulos = std::max(2, int(alturaPlot / (QFontMetrics(fonte(11)).height() * 1.7)));
    const int faixa = maximo_ - minimo_;
    int passo = 0;
    for (int ambos = 1; ambos >= 0 && passo == 0; --ambos) {
        for (int candidato : {1, 2, 5, 10, 20, 25, 30, 50, 60, 100, 200, 250, 500, 1000}) {
            const bool nasPontas = minimo_ % candidato == 0 && faixa % candidato == 0;
            if (faixa / candidato + 1 <= maxRotulos && (nasPontas || !ambos)) {
                passo = candidato;
                break;
            }
        }
    }
    if (passo == 0) passo = std::max(1, faixa);
    QVector<int> marcas;
    int v = int(std::ceil(minimo_ / double(passo))) * passo;
    for (; v <= maximo_; v += passo) marcas << v;
    return marcas;
}

// ---- Painting ------------------------------------------------------------------------------

void TChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    desenharFundo(p);
    const Geometria g = geometria();
    desenharParedes(p, g);
    desenharGrade(p, g);
    desenharEixos(p, g);

    p.save();
    QPainterPath recorte;
    recorte.addPolygon(visao3D_ ? caixa3D(g) : QPolygonF(g.frente));
    recorte.closeSubpath();
    p.setClipPath(recorte);
    switch (tipo_) {
    case Tipo::Linha: desenharLinha(p, g); break;
    case Tipo::Area: desenharArea(p, g); break;
    case Tipo::Barra: desenharBarras(p, g); break;
    }
    p.restore();
    desenharTitulos(p, g);
}

void TChart::desenharFundo(QPainter& p)
{
    QLinearGradient fundo(0, 0, 0, height());
    fundo.setColorAt(0, QColor(250, 250, 250));
    fundo.setColorAt(1, QColor(222, 222, 222));
    p.fillRect(rect(), fundo);
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TChart::desenharTitulos(QPainter& p, const Geometria& g)
{
    if (!titulo_.isEmpty()) {
        p.setFont(fonte(14, true));
        p.setPen(QColor(0, 0, 128));
        p.drawText(QRect(0, kMargem - 2, width(), QFontMetrics(p.font()).height()),
                   Qt::AlignHCenter | Qt::AlignTop, titulo_);
    }
    if (!tituloEixo_.isEmpty()) {
        p.save();
        p.setFont(fonte(12, true));
        p.setPen(Qt::black);
        const qreal meio = g.frente.center().y();
        p.translate(kMargem, meio);
        p.rotate(-90);
        const int h = QFontMetrics(p.font()).height();
        p.drawText(QRectF(-g.frente.height(), 0, 2 * g.frente.height(), h), Qt::AlignCenter,
                   tituloEixo_);
        p.restore();
    }
    if (!rodape_.isEmpty()) {
        p.setFont(fonteRodape_);
        p.setPen(corRodape_);
        const int h = QFontMetrics(fonteRodape_).height();
        p.drawText(QRect(0, height() - kMargem - h, width(), h), Qt::AlignCenter, rodape_);
    }
}

void TChart::desenharParedes(QPainter& p, const Geometria& g)
{
    const QRectF f = g.frente;
    const QRectF b = g.fundo();
    const Parede& pe = paredeEsquerda_;
    const Parede& pi = paredeInferior_;
    auto pintar = [&](const Parede& parede, const QPolygonF& forma, const QColor& cor) {
        p.setPen(parede.larguraBorda > 0 ? QPen(parede.corBorda, parede.larguraBorda, Qt::SolidLine,
                                                Qt::SquareCap, Qt::MiterJoin)
                                         : QPen(Qt::NoPen));
        p.setBrush(cor);
        p.drawPolygon(forma);
    };

    // Back wall: where the gridlines run.
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::white);
    p.drawRect(b);

    const qreal te = pe.tamanho;
    const qreal ti = pi.tamanho;
    if (!visao3D_) {
        // Flat: each wall is a strip as thick as its size, framed by its border.
        auto faixa = [&](const Parede& parede, const QRectF& dentro) {
            const qreal borda = parede.larguraBorda;
            p.fillRect(dentro.adjusted(-borda, -borda, borda, borda), parede.corBorda);
            p.fillRect(dentro, parede.cor);
        };
        const qreal be = pe.larguraBorda;
        const qreal bi = pi.larguraBorda;
        if (te > 0) faixa(pe, QRectF(f.left() - te - be, f.top(), te, f.height() + bi));
        if (ti > 0) faixa(pi, QRectF(f.left() - te - be, f.bottom() + bi, f.width() + te + be, ti));
        return;
    }

    // Left wall: its thickness shows as a front edge and a top edge, then the inner face.
    if (te > 0) {
        pintar(pe, QPolygonF(QRectF(f.left() - te, f.top(), te, f.height() + ti)), pe.cor.darker(130));
        pintar(pe, QPolygonF({f.topLeft() - QPointF(te, 0), f.topLeft(), b.topLeft(),
                              b.topLeft() - QPointF(te, 0)}),
               pe.cor.lighter(115));
    }
    pintar(pe, QPolygonF({f.topLeft(), b.topLeft(), b.bottomLeft(), f.bottomLeft()}), pe.cor);

    // Floor: its thickness shows as a front edge and a right edge.
    if (ti > 0) {
        pintar(pi, QPolygonF(QRectF(f.left(), f.bottom(), f.width(), ti)), pi.cor.darker(130));
        pintar(pi, QPolygonF({f.bottomRight(), b.bottomRight(), b.bottomRight() + QPointF(0, ti),
                              f.bottomRight() + QPointF(0, ti)}),
               pi.cor.darker(150));
    }
    pintar(pi, QPolygonF({f.bottomLeft(), f.bottomRight(), b.bottomRight(), b.bottomLeft()}), pi.cor);
}

void TChart::desenharGrade(QPainter& p, const Geometria& g)
{
    const QRectF b = g.fundo();
    for (int v : marcasEixo(g.frente.height())) {
        if (v == minimo_) continue;  // the floor is there
        const qreal y = std::round(yDoValor(g, v)) + 0.5;
        p.setPen(QPen(QColor(175, 175, 175), 1, Qt::DotLine));
        p.drawLine(QPointF(b.left() + 1, y - g.dy), QPointF(b.right() - 1, y - g.dy));
        if (visao3D_) {
            p.setPen(QPen(paredeEsquerda_.cor.darker(140), 1, Qt::DotLine));
            p.drawLine(QPointF(g.frente.left(), y), QPointF(b.left(), y - g.dy));
        }
    }
}

void TChart::desenharEixos(QPainter& p, const Geometria& g)
{
    const QRectF f = g.frente;
    const qreal xEixo = f.left() - (visao3D_ ? paredeEsquerda_.tamanho : espessuraVisivel(paredeEsquerda_));
    const qreal yEixo = f.bottom() + (visao3D_ ? paredeInferior_.tamanho : espessuraVisivel(paredeInferior_));
    p.setFont(fonte(11));
    const QFontMetrics m(p.font());
    p.setPen(QPen(Qt::black, 1));

    for (int v : marcasEixo(f.height())) {
        const qreal y = std::round(yDoValor(g, v)) + 0.5;
        p.drawLine(QPointF(xEixo - kTraco, y), QPointF(xEixo, y));
        const QRectF caixa(0, y - m.height() / 2.0, xEixo - kTraco - 3, m.height());
        p.drawText(caixa, Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    const int n = pontosNaPagina();
    for (int i = 0; i < n; ++i) {
        const qreal x = std::round(xDoPonto(g, i)) + 0.5;
        p.drawLine(QPointF(x, yEixo), QPointF(x, yEixo + kTraco));
        const QString rotulo = QString::number(primeiroIndice() + i + 1);
        const qreal w = larguraFaixa(g);
        p.drawText(QRectF(x - w / 2, yEixo + kTraco + 1, w, m.height()), Qt::AlignHCenter | Qt::AlignTop,
                   rotulo);
    }
}

// ---- Series --------------------------------------------------------------------------------

// One step of the line pushed back into depth: seen from above when it falls or rises
// gently, from below (in shadow) when it rises more steeply than the depth runs.
void TChart::desenharFita(QPainter& p, const Geometria& g, QPointF a, QPointF b, const QColor& cor)
{
    const QPolygonF fita({a, b, atras(b, g.dx, g.dy), atras(a, g.dx, g.dy)});
    const qreal inclinacao = (b.y() - a.y()) / std::max<qreal>(1e-6, b.x() - a.x());
    const bool porBaixo = g.dx > 0 && inclinacao < -g.dy / g.dx;
    const QColor face = porBaixo ? cor.darker(160) : cor.lighter(125);
    p.setPen(QPen(cor.darker(170), 1));
    p.setBrush(face);
    p.drawPolygon(fita);
}

// The points of the page on the screen. A lone point becomes a short level step so that a
// line or area can show it.
QVector<QPointF> TChart::pontosDaPagina(const Geometria& g) const
{
    const int n = pontosNaPagina();
    const int i0 = primeiroIndice();
    QVector<QPointF> pontos;
    for (int i = 0; i < n; ++i) pontos << QPointF(xDoPonto(g, i), yDoValor(g, valores_.at(i0 + i)));
    if (n == 1) {
        const QPointF meia(larguraFaixa(g) / 4, 0);
        pontos = {pontos.first() - meia, pontos.first() + meia};
    }
    return pontos;
}

// A step of the line cut where it crosses the top or the bottom of the plot, so that each
// piece lies wholly inside or wholly outside the axis range.
QVector<QPointF> TChart::pedacos(const Geometria& g, QPointF a, QPointF b)
{
    QVector<qreal> cortes;
    for (qreal y : {g.frente.top(), g.frente.bottom()})
        if ((a.y() - y) * (b.y() - y) < 0) cortes << (y - a.y()) / (b.y() - a.y());
    std::sort(cortes.begin(), cortes.end());
    QVector<QPointF> r{a};
    for (qreal t : cortes) r << a + t * (b - a);
    r << b;
    return r;
}

void TChart::desenharLinha(QPainter& p, const Geometria& g)
{
    const QVector<QPointF> pontos = pontosDaPagina(g);
    const qreal folga = 0.01;
    for (int i = 0; i + 1 < pontos.size(); ++i) {
        const QColor cor = corDoPonto(primeiroIndice() + i);
        const QVector<QPointF> partes = pedacos(g, pontos.at(i), pontos.at(i + 1));
        for (int k = 0; k + 1 < partes.size(); ++k) {
            const QPointF a = partes.at(k);
            const QPointF b = partes.at(k + 1);
            const qreal meio = (a.y() + b.y()) / 2;
            if (meio < g.frente.top() - folga || meio > g.frente.bottom() + folga) continue;  // off the range
            if (visao3D_) {
                desenharFita(p, g, a, b, cor);
            } else {
                p.setPen(QPen(cor, 2, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(a, b);
            }
        }
    }
}

// The area under the line, capped at the top and bottom of the range.
void TChart::desenharArea(QPainter& p, const Geometria& g)
{
    const QVector<QPointF> pontos = pontosDaPagina(g);
    if (pontos.isEmpty()) return;
    const qreal topo = g.frente.top();
    const qreal base = g.frente.bottom();
    auto dentro = [&](QPointF q) { return QPointF(q.x(), std::clamp(q.y(), topo, base)); };
    struct Pedaco { QPointF a, b; QColor cor; };
    QVector<Pedaco> partes;
    for (int i = 0; i + 1 < pontos.size(); ++i) {
        const QVector<QPointF> cortes = pedacos(g, pontos.at(i), pontos.at(i + 1));
        for (int k = 0; k + 1 < cortes.size(); ++k)
            partes.append({dentro(cortes.at(k)), dentro(cortes.at(k + 1)), corDoPonto(primeiroIndice() + i)});
    }

    if (visao3D_) {
        for (const Pedaco& parte : partes) desenharFita(p, g, parte.a, parte.b, parte.cor);
        const QPointF fim = partes.last().b;
        const QColor corFim = partes.last().cor;
        p.setPen(QPen(corFim.darker(170), 1));
        p.setBrush(corFim.darker(135));
        p.drawPolygon(QPolygonF({fim, QPointF(fim.x(), base), atras(QPointF(fim.x(), base), g.dx, g.dy),
                                 atras(fim, g.dx, g.dy)}));
    }
    for (const Pedaco& parte : partes) {
        p.setPen(QPen(parte.cor, 1));  // closes the seams between neighbouring pieces
        p.setBrush(parte.cor);
        p.drawPolygon(QPolygonF({parte.a, parte.b, QPointF(parte.b.x(), base), QPointF(parte.a.x(), base)}));
        p.setPen(QPen(parte.cor.darker(170), 1));
        p.drawLine(parte.a, parte.b);
    }
}

void TChart::desenharBarras(QPainter& p, const Geometria& g)
{
    const int n = pontosNaPagina();
    const int i0 = primeiroIndice();
    // Left to right, so that each bar hides the side of the one before.
    for (int i = 0; i < n; ++i) desenharBarra(p, g, i, valores_.at(i0 + i), corDoPonto(i0 + i));
}

void TChart::desenharBarra(QPainter& p, const Geometria& g, int posicao, int valor, const QColor& cor)
{
    const int v = std::clamp(valor, minimo_, maximo_);
    if (v == minimo_) return;  // nothing rises above the floor
    const qreal meia = larguraFaixa(g) * kLarguraBarra / 2;
    const qreal x = xDoPonto(g, posicao);
    const QRectF frente(QPointF(x - meia, yDoValor(g, v)), QPointF(x + meia, g.frente.bottom()));
    p.setPen(QPen(cor.darker(180), 1));
    if (visao3D_) {
        p.setBrush(cor.lighter(135));
        p.drawPolygon(QPolygonF({frente.topLeft(), frente.topRight(), atras(frente.topRight(), g.dx, g.dy),
                                 atras(frente.topLeft(), g.dx, g.dy)}));
        p.setBrush(cor.darker(140));
        p.drawPolygon(QPolygonF({frente.topRight(), frente.bottomRight(),
                                 atras(frente.bottomRight(), g.dx, g.dy),
                                 atras(frente.topRight(), g.dx, g.dy)}));
    }
    p.setBrush(cor);
    p.drawRect(frente);
}
