#include "Icones.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QPen traco(const QColor& cor, double largura) {
    return QPen(cor, largura, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A keyboard seen from above: a body with three rows of keys and a space bar.
void teclado(QPainter& p, const QColor& cor) {
    p.setPen(traco(cor, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 24, 88, 52), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    const double larguraTecla = 9, passo = 12.5;
    for (int linha = 0; linha < 3; ++linha) {
        const int quantas = 6 - (linha == 2 ? 1 : 0);
        const double x0 = 15 + linha * 4;
        for (int i = 0; i < quantas; ++i)
            p.drawRoundedRect(QRectF(x0 + i * passo, 31 + linha * 11.5, larguraTecla, 8), 2, 2);
    }
    p.drawRoundedRect(QRectF(28, 65.5, 44, 6), 2, 2);
}

// A person (head and shoulders) with a plus sign: a new student.
void aluno(QPainter& p, const QColor& cor) {
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawEllipse(QPointF(42, 34), 17, 17);
    QPainterPath ombros;
    ombros.moveTo(10, 90);
    ombros.cubicTo(10, 60, 26, 54, 42, 54);
    ombros.cubicTo(58, 54, 74, 60, 74, 90);
    ombros.closeSubpath();
    p.drawPath(ombros);
    p.setPen(traco(cor, 7));
    p.drawLine(QPointF(82, 22), QPointF(82, 46));
    p.drawLine(QPointF(70, 34), QPointF(94, 34));
}

// A cup with two handles on a stepped base.
void trofeu(QPainter& p, const QColor& cor) {
    QPainterPath taca;
    taca.moveTo(26, 12);
    taca.lineTo(74, 12);
    taca.cubicTo(74, 44, 64, 58, 50, 60);
    taca.cubicTo(36, 58, 26, 44, 26, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPath(taca);
    p.setPen(traco(cor, 5));
    p.setBrush(Qt::NoBrush);
    QPainterPath alcas;
    alcas.moveTo(27, 20);
    alcas.cubicTo(8, 18, 10, 44, 32, 44);
    alcas.moveTo(73, 20);
    alcas.cubicTo(92, 18, 90, 44, 68, 44);
    p.drawPath(alcas);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawRect(QRectF(45, 58, 10, 16));
    p.drawRoundedRect(QRectF(32, 72, 36, 8), 2, 2);
    p.drawRoundedRect(QRectF(26, 80, 48, 10), 2, 2);
    p.setBrush(QColor(255, 255, 255, 110));
    QPainterPath brilho;
    brilho.moveTo(34, 17);
    brilho.lineTo(40, 17);
    brilho.cubicTo(40, 36, 44, 46, 48, 52);
    brilho.cubicTo(38, 48, 34, 36, 34, 17);
    p.drawPath(brilho);
}

// A speech balloon holding a question mark.
void ajuda(QPainter& p, const QColor& cor) {
    QPainterPath balao;
    balao.addRoundedRect(QRectF(8, 10, 84, 64), 22, 22);
    QPainterPath ponta;
    ponta.moveTo(28, 70);
    ponta.lineTo(22, 92);
    ponta.lineTo(46, 72);
    ponta.closeSubpath();
    balao = balao.united(ponta);
    // The question mark is cut out of the balloon: a hook with its stem, and a dot.
    QPainterPath gancho;
    gancho.moveTo(38, 32);
    gancho.cubicTo(38, 20, 62, 20, 62, 32);
    gancho.cubicTo(62, 40, 50, 42, 50, 52);
    QPainterPathStroker contorno;
    contorno.setWidth(8);
    contorno.setCapStyle(Qt::RoundCap);
    contorno.setJoinStyle(Qt::RoundJoin);
    QPainterPath interrogacao = contorno.createStroke(gancho);
    interrogacao.addEllipse(QPointF(50, 63), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPath(balao.subtracted(interrogacao));
}

// A gear: a ring of teeth around a hub with a hole.
void engrenagem(QPainter& p, const QColor& cor) {
    const QPointF centro(50, 50);
    const int dentes = 8;
    QPainterPath roda;
    for (int i = 0; i < dentes * 4; ++i) {
        const double angulo = (i - 0.5) * M_PI / (dentes * 2);
        const bool fora = (i % 4 == 1 || i % 4 == 2);
        const double raio = fora ? 44 : 33;
        const QPointF ponto(centro.x() + raio * qCos(angulo), centro.y() + raio * qSin(angulo));
        if (i == 0) roda.moveTo(ponto); else roda.lineTo(ponto);
    }
    roda.closeSubpath();
    QPainterPath furo;
    furo.addEllipse(centro, 14, 14);
    p.setPen(traco(cor, 2));
    p.setBrush(cor);
    p.drawPath(roda.subtracted(furo));
}

// A ruled page with a pencil lying across it.
void caderno(QPainter& p, const QColor& cor) {
    p.setPen(traco(cor, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(12, 8, 58, 82), 5, 5);
    p.setPen(traco(cor, 3.5));
    for (int i = 0; i < 5; ++i) p.drawLine(QPointF(22, 26 + i * 12), QPointF(60 - (i == 4 ? 16 : 0), 26 + i * 12));
    p.save();
    p.translate(70, 56);
    p.rotate(40);
    QPainterPath lapis;
    lapis.addRoundedRect(QRectF(-8, -38, 16, 56), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPath(lapis);
    QPainterPath ponta;
    ponta.moveTo(-8, 20);
    ponta.lineTo(8, 20);
    ponta.lineTo(0, 36);
    ponta.closeSubpath();
    p.drawPath(ponta);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRect(QRectF(-8, -30, 16, 4));
    p.restore();
}

// A clipboard with two ticked lines: the table of requirements.
void prancheta(QPainter& p, const QColor& cor) {
    p.setPen(traco(cor, 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(16, 14, 68, 80), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawRoundedRect(QRectF(34, 6, 32, 16), 5, 5);
    p.setPen(traco(cor, 5));
    for (int i = 0; i < 3; ++i) {
        const double y = 38 + i * 19;
        QPainterPath visto;
        visto.moveTo(25, y);
        visto.lineTo(30, y + 5);
        visto.lineTo(39, y - 5);
        p.drawPath(visto);
        p.drawLine(QPointF(47, y), QPointF(74, y));
    }
}

// An open door with an arrow leaving through it.
void porta(QPainter& p, const QColor& cor) {
    p.setPen(traco(cor, 5));
    p.setBrush(Qt::NoBrush);
    QPainterPath batente;
    batente.moveTo(52, 26);
    batente.lineTo(52, 10);
    batente.lineTo(14, 10);
    batente.lineTo(14, 90);
    batente.lineTo(52, 90);
    batente.lineTo(52, 74);
    p.drawPath(batente);
    QPainterPath folha;
    folha.moveTo(14, 10);
    folha.lineTo(38, 20);
    folha.lineTo(38, 96);
    folha.lineTo(14, 90);
    folha.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawPath(folha);
    p.setPen(traco(cor, 8));
    p.drawLine(QPointF(50, 50), QPointF(80, 50));
    QPainterPath seta;
    seta.moveTo(74, 34);
    seta.lineTo(94, 50);
    seta.lineTo(74, 66);
    seta.closeSubpath();
    p.setPen(traco(cor, 3));
    p.setBrush(cor);
    p.drawPath(seta);
}

void certo(QPainter& p, const QColor& cor) {
    QPainterPath visto;
    visto.moveTo(12, 54);
    visto.lineTo(38, 80);
    visto.lineTo(88, 20);
    p.setPen(traco(cor.darker(160), 26));
    p.drawPath(visto);
    p.setPen(traco(cor, 16));
    p.drawPath(visto);
}

void errado(QPainter& p, const QColor& cor) {
    QPainterPath xis;
    xis.moveTo(18, 18);
    xis.lineTo(82, 82);
    xis.moveTo(82, 18);
    xis.lineTo(18, 82);
    p.setPen(traco(cor.darker(160), 26));
    p.drawPath(xis);
    p.setPen(traco(cor, 16));
    p.drawPath(xis);
}

// A waste bin: lid, handle and a ribbed body.
void lixeira(QPainter& p, const QColor& cor) {
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    p.drawRoundedRect(QRectF(10, 16, 80, 12), 3, 3);
    p.drawRoundedRect(QRectF(36, 4, 28, 14), 4, 4);
    QPainterPath corpo;
    corpo.moveTo(18, 32);
    corpo.lineTo(82, 32);
    corpo.lineTo(74, 96);
    corpo.lineTo(26, 96);
    corpo.closeSubpath();
    p.drawPath(corpo);
    p.setPen(traco(cor.darker(170), 7));
    for (double x : {36.0, 50.0, 64.0}) p.drawLine(QPointF(x, 42), QPointF(x, 86));
}

}  // namespace

void desenharIcone(QPainter& p, Icone icone, const QRectF& caixa, const QColor& cor) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(caixa.topLeft());
    p.scale(caixa.width() / 100.0, caixa.height() / 100.0);
    switch (icone) {
    case Icone::Teclado: teclado(p, cor); break;
    case Icone::Aluno: aluno(p, cor); break;
    case Icone::Trofeu: trofeu(p, cor); break;
    case Icone::Ajuda: ajuda(p, cor); break;
    case Icone::Engrenagem: engrenagem(p, cor); break;
    case Icone::Caderno: caderno(p, cor); break;
    case Icone::Prancheta: prancheta(p, cor); break;
    case Icone::Porta: porta(p, cor); break;
    case Icone::Certo: certo(p, cor); break;
    case Icone::Errado: errado(p, cor); break;
    case Icone::Lixeira: lixeira(p, cor); break;
    }
    p.restore();
}
