#include "Figuras.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QImage novaImagem(int largura, int altura, const QColor& fundo) {
    QImage imagem(largura, altura, QImage::Format_ARGB32_Premultiplied);
    imagem.fill(fundo);
    return imagem;
}

void prepararPintor(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont fonte(int pixels, bool negrito = true) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixels);
    f.setBold(negrito);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The largest font not above `pixels` at which `texto` fits in `largura`.
QFont fonteQueCabe(const QString& texto, int pixels, double largura) {
    QFont f = fonte(pixels);
    while (pixels > 8 && QFontMetricsF(f).horizontalAdvance(texto) > largura) f = fonte(--pixels);
    return f;
}

QColor misturar(const QColor& a, const QColor& b, double parteDeB) {
    const double pa = 1.0 - parteDeB;
    return QColor::fromRgbF(a.redF() * pa + b.redF() * parteDeB, a.greenF() * pa + b.greenF() * parteDeB,
                            a.blueF() * pa + b.blueF() * parteDeB, a.alphaF() * pa + b.alphaF() * parteDeB);
}

QColor comAlfa(QColor cor, int alfa) {
    cor.setAlpha(alfa);
    return cor;
}

// Text with a soft dark shadow under it.
void textoComSombra(QPainter& p, const QRectF& area, int alinhamento, const QString& texto,
                    const QColor& cor, const QPointF& deslocamento = QPointF(1.5, 2)) {
    p.setPen(QColor(0, 0, 0, 170));
    p.drawText(area.translated(deslocamento), alinhamento, texto);
    p.setPen(cor);
    p.drawText(area, alinhamento, texto);
}

// A raised key cap: bevelled body, lighter top face and a centred caption.
void desenharTecla(QPainter& p, const QRectF& r, const QColor& base, const QString& rotulo, int pixels) {
    p.setPen(QPen(base.darker(190), 1));
    QLinearGradient corpo(r.topLeft(), r.bottomLeft());
    corpo.setColorAt(0, base.lighter(112));
    corpo.setColorAt(1, base.darker(135));
    p.setBrush(corpo);
    p.drawRoundedRect(r, r.width() * 0.16, r.width() * 0.16);
    const QRectF face = r.adjusted(r.width() * 0.12, r.height() * 0.08, -r.width() * 0.12, -r.height() * 0.2);
    QLinearGradient topo(face.topLeft(), face.bottomLeft());
    topo.setColorAt(0, base.lighter(135));
    topo.setColorAt(1, base.lighter(105));
    p.setPen(Qt::NoPen);
    p.setBrush(topo);
    p.drawRoundedRect(face, face.width() * 0.14, face.width() * 0.14);
    if (rotulo.isEmpty()) return;
    p.setFont(fonte(pixels));
    p.setPen(QColor(30, 34, 44));
    p.drawText(face, Qt::AlignCenter, rotulo);
}

}  // namespace

QImage pintarBotao(const Botao& botao, bool destacado) {
    QImage imagem = novaImagem(250, 100, Qt::black);
    QPainter p(&imagem);
    prepararPintor(p);
    const QRectF painel(9, 9, 232, 82);
    const double raio = 18;
    const QColor cor = botao.destaque;

    if (destacado) {  // glow around the panel
        for (int i = 8; i >= 1; --i) {
            p.setPen(QPen(comAlfa(cor, 12 + (8 - i) * 9), i * 2.0));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(painel, raio, raio);
        }
    }
    QLinearGradient fundo(painel.topLeft(), painel.bottomLeft());
    fundo.setColorAt(0, destacado ? misturar(QColor(40, 46, 58), cor, 0.45) : QColor(44, 49, 61));
    fundo.setColorAt(1, destacado ? misturar(QColor(16, 19, 26), cor, 0.18) : QColor(14, 16, 21));
    p.setPen(QPen(destacado ? cor.lighter(135) : comAlfa(cor, 140), destacado ? 2.5 : 1.5));
    p.setBrush(fundo);
    p.drawRoundedRect(painel, raio, raio);

    // Gloss on the upper half.
    QPainterPath brilho;
    brilho.addRoundedRect(painel.adjusted(3, 3, -3, -painel.height() / 2), raio - 3, raio - 3);
    QLinearGradient reflexo(painel.topLeft(), QPointF(painel.left(), painel.center().y()));
    reflexo.setColorAt(0, QColor(255, 255, 255, destacado ? 60 : 26));
    reflexo.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(reflexo);
    p.drawPath(brilho);

    // Icon disk.
    const QPointF centro(52, 50);
    const double raioDisco = 31;
    QRadialGradient disco(centro + QPointF(-10, -12), raioDisco * 1.5);
    const QColor corDisco = destacado ? cor : cor.darker(150);
    disco.setColorAt(0, corDisco.lighter(150));
    disco.setColorAt(0.55, corDisco);
    disco.setColorAt(1, corDisco.darker(220));
    p.setPen(QPen(destacado ? QColor(255, 255, 255, 200) : QColor(255, 255, 255, 60), 1.5));
    p.setBrush(disco);
    p.drawEllipse(centro, raioDisco, raioDisco);
    const double lado = 38;
    const QRectF caixa(centro.x() - lado / 2, centro.y() - lado / 2, lado, lado);
    desenharIcone(p, botao.icone, caixa.translated(1, 1.5), QColor(0, 0, 0, 110));
    desenharIcone(p, botao.icone, caixa, destacado ? Qt::white : QColor(222, 226, 232));

    // Title and subtitle.
    const double esquerda = 94, largura = painel.right() - esquerda - 10;
    p.setFont(fonteQueCabe(botao.titulo, 24, largura));
    textoComSombra(p, QRectF(esquerda, 22, largura, 34), Qt::AlignLeft | Qt::AlignVCenter, botao.titulo,
                   destacado ? Qt::white : QColor(214, 219, 228));
    p.setFont(fonte(12, false));
    p.setPen(destacado ? cor.lighter(170) : QColor(135, 143, 158));
    p.drawText(QRectF(esquerda, 56, largura, 20), Qt::AlignLeft | Qt::AlignVCenter, botao.subtitulo);
    return imagem;
}

QImage pintarAbertura() {
    QImage imagem = novaImagem(400, 200, Qt::black);
    QPainter p(&imagem);
    prepararPintor(p);
    QLinearGradient ceu(0, 0, 400, 200);
    ceu.setColorAt(0, QColor(16, 40, 92));
    ceu.setColorAt(1, QColor(6, 14, 36));
    p.fillRect(imagem.rect(), ceu);
    QRadialGradient luz(QPointF(110, 40), 260);
    luz.setColorAt(0, QColor(90, 150, 255, 90));
    luz.setColorAt(1, QColor(90, 150, 255, 0));
    p.fillRect(imagem.rect(), luz);

    // Title in gold with a dark outline and shadow.
    QFont titulo = fonte(58);
    QPainterPath texto;
    texto.addText(0, 0, titulo, QStringLiteral("Tarvex 3"));
    const QRectF limites = texto.boundingRect();
    texto.translate(200 - limites.center().x(), 66 - limites.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawPath(texto.translated(3, 4));
    QLinearGradient ouro(0, texto.boundingRect().top(), 0, texto.boundingRect().bottom());
    ouro.setColorAt(0, QColor(255, 244, 170));
    ouro.setColorAt(0.5, QColor(255, 200, 40));
    ouro.setColorAt(1, QColor(200, 120, 10));
    p.setPen(QPen(QColor(90, 50, 0), 1.5));
    p.setBrush(ouro);
    p.drawPath(texto);

    p.setFont(fonte(20, false));
    textoComSombra(p, QRectF(0, 96, 400, 26), Qt::AlignCenter, QStringLiteral("Curso de digitação"),
                   QColor(225, 235, 255));
    p.setPen(QPen(QColor(255, 200, 40, 180), 1.5));
    p.drawLine(QPointF(110, 126), QPointF(290, 126));

    // A row of keys spelling the name, each marked with a finger colour.
    const QString letras = QStringLiteral("TARVEX");
    const QColor dedos[] = {QColor(0, 220, 255), QColor(0, 220, 80), QColor(255, 230, 0),
                            QColor(255, 70, 60), QColor(255, 70, 60), QColor(0, 220, 80)};
    const double lado = 38, passo = 44, x0 = 200 - (passo * 6 - (passo - lado)) / 2;
    for (int i = 0; i < letras.size(); ++i) {
        const QRectF tecla(x0 + i * passo, 138, lado, lado);
        desenharTecla(p, tecla, QColor(205, 210, 220), letras.mid(i, 1), 18);
        p.setPen(Qt::NoPen);
        p.setBrush(dedos[i]);
        p.drawRoundedRect(QRectF(tecla.left() + 8, tecla.bottom() - 5, lado - 16, 3), 1.5, 1.5);
    }
    p.setFont(fonte(10, false));
    p.setPen(QColor(150, 170, 210));
    p.drawText(QRectF(0, 182, 394, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("versão 3.5"));
    return imagem;
}

QImage pintarIconePrograma(int lado) {
    QImage imagem = novaImagem(lado, lado, Qt::transparent);
    QPainter p(&imagem);
    prepararPintor(p);
    // Drawn in a 256 box and scaled, so every size is painted from the shapes, not shrunk.
    p.scale(lado / 256.0, lado / 256.0);
    const QRectF fundo(8, 8, 240, 240);
    QLinearGradient azul(fundo.topLeft(), fundo.bottomRight());
    azul.setColorAt(0, QColor(52, 120, 230));
    azul.setColorAt(1, QColor(10, 36, 100));
    p.setPen(QPen(QColor(8, 24, 70), 3));
    p.setBrush(azul);
    p.drawRoundedRect(fundo, 48, 48);
    desenharTecla(p, QRectF(44, 38, 168, 168), QColor(226, 230, 238), QString(), 0);
    p.setFont(fonte(112));
    p.setPen(QColor(16, 44, 110));
    p.drawText(QRectF(44, 40, 168, 138), Qt::AlignCenter, QStringLiteral("T"));
    // A gold badge with the version number.
    const QPointF centro(196, 196);
    QRadialGradient ouro(centro + QPointF(-10, -10), 50);
    ouro.setColorAt(0, QColor(255, 240, 150));
    ouro.setColorAt(1, QColor(220, 140, 0));
    p.setPen(QPen(QColor(110, 60, 0), 3));
    p.setBrush(ouro);
    p.drawEllipse(centro, 40, 40);
    p.setFont(fonte(56));
    p.setPen(QColor(90, 40, 0));
    p.drawText(QRectF(centro.x() - 40, centro.y() - 40, 80, 80), Qt::AlignCenter, QStringLiteral("3"));
    return imagem;
}

QImage pintarBloco() {
    QImage imagem = novaImagem(347, 243, QColor(253, 242, 150));
    QPainter p(&imagem);
    prepararPintor(p);
    QLinearGradient papel(0, 0, 347, 243);
    papel.setColorAt(0, QColor(255, 247, 170));
    papel.setColorAt(1, QColor(246, 228, 120));
    p.fillRect(imagem.rect(), papel);
    p.setPen(QPen(QColor(120, 160, 210), 1));
    for (int y = 45; y < 243; y += 27) p.drawLine(QPointF(0, y + 0.5), QPointF(347, y + 0.5));
    p.setPen(QPen(QColor(220, 70, 70), 1.2));
    p.drawLine(QPointF(24.5, 0), QPointF(24.5, 243));
    p.drawLine(QPointF(27.5, 0), QPointF(27.5, 243));
    // Punched holes on the left edge.
    for (int y : {36, 121, 206}) {
        p.setPen(QPen(QColor(170, 150, 80), 1));
        p.setBrush(QColor(60, 64, 90));
        p.drawEllipse(QPointF(11, y), 5, 5);
    }
    // A slightly darker edge all round, like a real sheet.
    p.setPen(QPen(QColor(200, 180, 90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 345, 241));
    return imagem;
}

QImage pintarMarca(Icone icone, const QColor& cor, int lado) {
    QImage imagem = novaImagem(lado, lado, Qt::transparent);
    QPainter p(&imagem);
    prepararPintor(p);
    desenharIcone(p, icone, QRectF(0, 0, lado, lado), cor);
    return imagem;
}

QImage pintarAjuda16() {
    QImage imagem = novaImagem(16, 16, Qt::transparent);
    QPainter p(&imagem);
    prepararPintor(p);
    QRadialGradient azul(QPointF(6, 5), 12);
    azul.setColorAt(0, QColor(120, 180, 255));
    azul.setColorAt(1, QColor(20, 70, 180));
    p.setPen(QPen(QColor(10, 40, 120), 1));
    p.setBrush(azul);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setFont(fonte(12));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16.5), Qt::AlignCenter, QStringLiteral("?"));
    return imagem;
}

QImage pintarRosto(bool feliz) {
    QImage imagem = novaImagem(32, 32, Qt::transparent);
    QPainter p(&imagem);
    prepararPintor(p);
    QRadialGradient amarelo(QPointF(12, 10), 22);
    amarelo.setColorAt(0, QColor(255, 245, 140));
    amarelo.setColorAt(0.6, QColor(255, 210, 30));
    amarelo.setColorAt(1, QColor(230, 160, 0));
    p.setPen(QPen(QColor(150, 95, 0), 1.2));
    p.setBrush(amarelo);
    p.drawEllipse(QRectF(1, 1, 30, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 35, 0));
    p.drawEllipse(QRectF(9.5, 9, 4, 6));
    p.drawEllipse(QRectF(18.5, 9, 4, 6));
    QPainterPath boca;
    if (feliz) {
        boca.moveTo(8.5, 18.5);
        boca.quadTo(16, 28.5, 23.5, 18.5);
    } else {
        boca.moveTo(9.5, 24.5);
        boca.quadTo(16, 17.5, 22.5, 24.5);
    }
    p.setPen(QPen(QColor(60, 35, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(boca);
    return imagem;
}

namespace {

// A four-pointed sparkle.
void brilhoEstrela(QPainter& p, const QPointF& c, double r, const QColor& cor) {
    QPainterPath estrela;
    estrela.moveTo(c.x(), c.y() - r);
    estrela.quadTo(c.x(), c.y(), c.x() + r, c.y());
    estrela.quadTo(c.x(), c.y(), c.x(), c.y() + r);
    estrela.quadTo(c.x(), c.y(), c.x() - r, c.y());
    estrela.quadTo(c.x(), c.y(), c.x(), c.y() - r);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPath(estrela);
}

void desenharTacaDourada(QPainter& p) {
    QLinearGradient ouro(32, 0, 78, 0);
    ouro.setColorAt(0, QColor(200, 130, 0));
    ouro.setColorAt(0.35, QColor(255, 236, 130));
    ouro.setColorAt(1, QColor(190, 115, 0));
    p.setPen(QPen(QColor(110, 65, 0), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath alcas;
    alcas.moveTo(36, 12);
    alcas.cubicTo(22, 10, 24, 32, 40, 32);
    alcas.moveTo(74, 12);
    alcas.cubicTo(88, 10, 86, 32, 70, 32);
    p.setPen(QPen(QColor(230, 170, 20), 3.5));
    p.drawPath(alcas);
    QPainterPath taca;
    taca.moveTo(34, 6);
    taca.lineTo(76, 6);
    taca.cubicTo(76, 30, 66, 40, 55, 42);
    taca.cubicTo(44, 40, 34, 30, 34, 6);
    p.setPen(QPen(QColor(110, 65, 0), 1.2));
    p.setBrush(ouro);
    p.drawPath(taca);
    p.drawRect(QRectF(51, 42, 8, 7));
    p.drawRoundedRect(QRectF(43, 48, 24, 8), 2, 2);
    p.setBrush(QColor(255, 255, 255, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(40, 9, 5, 16));
    p.setPen(QPen(QColor(120, 70, 0), 1));
    p.setBrush(QColor(255, 215, 60));
    p.setFont(fonte(13));
    p.drawText(QRectF(34, 8, 42, 24), Qt::AlignCenter, QStringLiteral("1"));
}

}  // namespace

QImage pintarTrofeuCartum() {
    QImage imagem = novaImagem(110, 194, Qt::black);
    QPainter p(&imagem);
    prepararPintor(p);
    const QColor pele(241, 194, 140), peleEscura(190, 130, 80);
    const QColor terno(52, 70, 120), ternoEscuro(30, 40, 75);

    // Sparkles around the cup.
    brilhoEstrela(p, QPointF(16, 16), 7, QColor(255, 240, 120));
    brilhoEstrela(p, QPointF(95, 28), 5, QColor(255, 255, 200));
    brilhoEstrela(p, QPointF(12, 48), 4, QColor(255, 220, 90));
    brilhoEstrela(p, QPointF(98, 60), 6, QColor(255, 240, 120));

    // Raised arms: sleeves from the shoulders to the hands under the cup.
    QPen manga(terno, 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath bracoEsq, bracoDir;
    bracoEsq.moveTo(38, 106);
    bracoEsq.quadTo(24, 88, 42, 60);
    bracoDir.moveTo(72, 106);
    bracoDir.quadTo(86, 88, 68, 60);
    p.setPen(manga);
    p.setBrush(Qt::NoBrush);
    p.drawPath(bracoEsq);
    p.drawPath(bracoDir);
    desenharTacaDourada(p);
    p.setPen(QPen(peleEscura, 1));
    p.setBrush(pele);
    p.drawEllipse(QPointF(43, 57), 6, 5.5);
    p.drawEllipse(QPointF(67, 57), 6, 5.5);

    // Legs and shoes.
    p.setPen(QPen(ternoEscuro.darker(130), 1));
    p.setBrush(ternoEscuro);
    p.drawRect(QRectF(40, 148, 13, 34));
    p.drawRect(QRectF(57, 148, 13, 34));
    p.setBrush(QColor(70, 50, 40));
    p.setPen(QPen(QColor(140, 110, 90), 1));
    p.drawRoundedRect(QRectF(34, 180, 20, 9), 4, 4);
    p.drawRoundedRect(QRectF(56, 180, 20, 9), 4, 4);

    // Jacket with shirt, tie and lapels.
    QPainterPath paleto;
    paleto.moveTo(34, 106);
    paleto.quadTo(34, 96, 44, 95);
    paleto.lineTo(66, 95);
    paleto.quadTo(76, 96, 76, 106);
    paleto.lineTo(74, 152);
    paleto.lineTo(36, 152);
    paleto.closeSubpath();
    QLinearGradient tecido(34, 0, 76, 0);
    tecido.setColorAt(0, terno.lighter(120));
    tecido.setColorAt(1, ternoEscuro);
    p.setPen(QPen(ternoEscuro.darker(140), 1));
    p.setBrush(tecido);
    p.drawPath(paleto);
    QPainterPath camisa;
    camisa.moveTo(46, 95);
    camisa.lineTo(64, 95);
    camisa.lineTo(55, 124);
    camisa.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawPath(camisa);
    QPainterPath gravata;
    gravata.moveTo(53, 97);
    gravata.lineTo(57, 97);
    gravata.lineTo(59, 116);
    gravata.lineTo(55, 122);
    gravata.lineTo(51, 116);
    gravata.closeSubpath();
    p.setBrush(QColor(210, 30, 40));
    p.drawPath(gravata);
    p.setPen(QPen(ternoEscuro.darker(150), 1.2));
    p.drawLine(QPointF(46, 96), QPointF(52, 120));
    p.drawLine(QPointF(64, 96), QPointF(58, 120));
    p.setBrush(QColor(230, 200, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(55, 132), 1.4, 1.4);
    p.drawEllipse(QPointF(55, 142), 1.4, 1.4);

    // Head: neck, ears, face, hair and a big smile.
    p.setBrush(pele);
    p.setPen(QPen(peleEscura, 1));
    p.drawRect(QRectF(50, 86, 10, 10));
    p.drawEllipse(QPointF(55, 74), 15, 16);
    QPainterPath cabelo;
    cabelo.moveTo(40, 76);
    cabelo.cubicTo(36, 53, 74, 53, 70, 76);
    cabelo.cubicTo(68, 67, 60, 64, 52, 66);
    cabelo.cubicTo(46, 67, 42, 70, 40, 76);
    p.setBrush(QColor(90, 55, 25));
    p.setPen(Qt::NoPen);
    p.drawPath(cabelo);
    p.setBrush(QColor(40, 25, 10));
    p.drawEllipse(QPointF(49.5, 73), 1.8, 2.4);
    p.drawEllipse(QPointF(60.5, 73), 1.8, 2.4);
    QPainterPath sorriso;
    sorriso.moveTo(47, 80);
    sorriso.quadTo(55, 90, 63, 80);
    sorriso.closeSubpath();
    p.setBrush(QColor(150, 30, 30));
    p.setPen(QPen(QColor(90, 20, 20), 1));
    p.drawPath(sorriso);
    p.setBrush(QColor(255, 150, 140, 120));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(45, 80), 3, 2);
    p.drawEllipse(QPointF(65, 80), 3, 2);
    return imagem;
}

QImage pintarLateral(const QString& titulo, Icone icone, const QColor& cor, int altura) {
    QImage imagem = novaImagem(117, altura, Qt::black);
    QPainter p(&imagem);
    prepararPintor(p);
    QLinearGradient fundo(0, 0, 0, altura);
    fundo.setColorAt(0, cor.darker(300));
    fundo.setColorAt(0.5, cor.darker(170));
    fundo.setColorAt(1, cor.darker(320));
    p.fillRect(imagem.rect(), fundo);
    // Faint key caps scattered in the background.
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.2));
    p.setBrush(Qt::NoBrush);
    for (int linha = 0; linha * 30 < altura; ++linha)
        for (int coluna = -1; coluna < 5; ++coluna)
            p.drawRoundedRect(QRectF(coluna * 30 + (linha % 2) * 15 + 4, linha * 30 + 4, 24, 24), 4, 4);

    const QPointF centro(58.5, altura * 0.40);
    QRadialGradient aura(centro, 56);
    aura.setColorAt(0, comAlfa(cor.lighter(160), 150));
    aura.setColorAt(1, comAlfa(cor, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(aura);
    p.drawEllipse(centro, 56, 56);
    QRadialGradient disco(centro + QPointF(-10, -12), 60);
    disco.setColorAt(0, cor.lighter(160));
    disco.setColorAt(1, cor.darker(160));
    p.setPen(QPen(QColor(255, 255, 255, 170), 2));
    p.setBrush(disco);
    p.drawEllipse(centro, 40, 40);
    const QRectF caixa(centro.x() - 26, centro.y() - 26, 52, 52);
    desenharIcone(p, icone, caixa.translated(1.5, 2), QColor(0, 0, 0, 110));
    desenharIcone(p, icone, caixa, Qt::white);

    p.setFont(fonteQueCabe(titulo, 16, 109));
    textoComSombra(p, QRectF(4, altura * 0.40 + 52, 109, 24), Qt::AlignCenter, titulo, Qt::white);
    p.setPen(QPen(comAlfa(cor.lighter(170), 200), 1.5));
    p.drawLine(QPointF(24, altura * 0.40 + 80), QPointF(93, altura * 0.40 + 80));
    p.setFont(fonte(13));
    p.setPen(QColor(255, 255, 255, 150));
    p.drawText(QRectF(0, altura - 26, 117, 20), Qt::AlignCenter, QStringLiteral("Tarvex 3"));
    return imagem;
}

QImage pintarTecladoNumerico() {
    QImage imagem = novaImagem(329, 161, QColor(222, 229, 238));
    QPainter p(&imagem);
    prepararPintor(p);
    QLinearGradient fundo(0, 0, 0, 161);
    fundo.setColorAt(0, QColor(236, 241, 247));
    fundo.setColorAt(1, QColor(202, 212, 226));
    p.fillRect(imagem.rect(), fundo);
    p.setFont(fonte(13));
    p.setPen(QColor(30, 50, 90));
    p.drawText(QRectF(8, 3, 200, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Teclado numérico"));

    // Keyboard body behind the keys.
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.setBrush(QColor(70, 76, 90));
    p.drawRoundedRect(QRectF(-10, 22, 334, 136), 8, 8);

    const double passo = 26.5, lado = 24, topo = 28;
    auto caixa = [&](double coluna, double linha, double largura = 1, double altura = 1) {
        return QRectF(coluna * passo, topo + linha * passo, lado + (largura - 1) * passo, lado + (altura - 1) * passo);
    };
    const QColor cinza(168, 174, 186);
    // The right end of the letter block, faded, to show where the keypad sits.
    const char* letras[] = {"7", "8", "9", "0", "Y", "U", "I", "O", "H", "J", "K", "L", "N", "M", ",", "."};
    p.setOpacity(0.55);
    for (int linha = 0; linha < 4; ++linha)
        for (int coluna = 0; coluna < 4; ++coluna)
            desenharTecla(p, caixa(coluna + 0.15 + linha * 0.2, linha), cinza,
                          QString::fromLatin1(letras[linha * 4 + coluna]), 10);
    desenharTecla(p, caixa(1.4, 4, 2.6), cinza, QString(), 10);
    p.setOpacity(1.0);
    // Editing and arrow keys.
    const QString edicao[] = {"Ins", "Home", "PgUp", "Del", "End", "PgDn"};
    for (int i = 0; i < 6; ++i) desenharTecla(p, caixa(4.75 + i % 3, i / 3), cinza, edicao[i], 7);
    desenharTecla(p, caixa(5.75, 3), cinza, QStringLiteral("↑"), 12);
    for (int i = 0; i < 3; ++i) desenharTecla(p, caixa(4.75 + i, 4), cinza, QString(i == 0 ? "←" : i == 1 ? "↓" : "→"), 12);

    // The keypad, each key in the colour of the finger that presses it.
    const QColor indicador(120, 240, 250), medio(250, 120, 110), anular(250, 240, 110), minimo(130, 240, 120);
    struct Tecla { double coluna, linha, largura, altura; const char* rotulo; QColor cor; };
    const Tecla teclado[] = {
        {0, 0, 1, 1, "Num", indicador}, {1, 0, 1, 1, "/", medio}, {2, 0, 1, 1, "*", anular}, {3, 0, 1, 1, "-", minimo},
        {0, 1, 1, 1, "7", indicador}, {1, 1, 1, 1, "8", medio}, {2, 1, 1, 1, "9", anular}, {3, 1, 1, 2, "+", minimo},
        {0, 2, 1, 1, "4", indicador}, {1, 2, 1, 1, "5", medio}, {2, 2, 1, 1, "6", anular},
        {0, 3, 1, 1, "1", indicador}, {1, 3, 1, 1, "2", medio}, {2, 3, 1, 1, "3", anular}, {3, 3, 1, 2, "↵", minimo},
        {0, 4, 2, 1, "0", indicador}, {2, 4, 1, 1, ",", anular},
    };
    const double inicio = 8.25;
    for (const Tecla& t : teclado) {
        const QString rotulo = QString::fromUtf8(t.rotulo);
        desenharTecla(p, caixa(inicio + t.coluna, t.linha, t.largura, t.altura), t.cor, rotulo,
                      rotulo.size() > 1 ? 8 : 12);
    }
    // The home key "5" has a raised mark for the middle finger.
    const QRectF cinco = caixa(inicio + 1, 2);
    p.setPen(QPen(QColor(90, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cinco.center().x() - 3, cinco.bottom() - 6), QPointF(cinco.center().x() + 3, cinco.bottom() - 6));
    return imagem;
}
