#include "TDBNavigator.h"

#include "TDataSource.h"
#include "data/TApTable.h"
#include "ui/Mensagens.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace {

using Botao = TDBNavigator::Botao;

// The buttons' glyphs, drawn here so that they look the same on every system.
QIcon desenhar(Botao b)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor tinta(0x20, 0x20, 0x20);
    p.setPen(Qt::NoPen);
    p.setBrush(tinta);
    auto triangulo = [&p](QPointF a, QPointF b2, QPointF c) {
        QPainterPath caminho;
        caminho.moveTo(a);
        caminho.lineTo(b2);
        caminho.lineTo(c);
        caminho.closeSubpath();
        p.drawPath(caminho);
    };
    switch (b) {
    case Botao::First:
        p.drawRect(QRectF(3, 3, 2, 10));
        triangulo({12, 3}, {12, 13}, {6, 8});
        break;
    case Botao::Prior: triangulo({11, 3}, {11, 13}, {5, 8}); break;
    case Botao::Next: triangulo({5, 3}, {5, 13}, {11, 8}); break;
    case Botao::Last:
        triangulo({4, 3}, {4, 13}, {10, 8});
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case Botao::Insert:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case Botao::Delete: p.drawRect(QRectF(3, 7, 10, 2)); break;
    case Botao::Edit: triangulo({3, 12}, {13, 12}, {8, 4}); break;
    case Botao::Post:
        p.setPen(QPen(QColor(0, 110, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    case Botao::Cancel:
        p.setPen(QPen(QColor(170, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case Botao::Refresh:
        p.setPen(QPen(tinta, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(tinta);
        triangulo({8, 1}, {8, 6.5}, {11.5, 3.5});
        break;
    }
    return QIcon(pm);
}

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* linha = new QHBoxLayout(this);
    linha->setContentsMargins(0, 0, 0, 0);
    linha->setSpacing(0);
}

void TDBNavigator::setDataSource(TDataSource* fonte)
{
    if (fonte_) disconnect(fonte_, nullptr, this, nullptr);
    fonte_ = fonte;
    if (fonte_) connect(fonte_, &TDataSource::dataChange, this, &TDBNavigator::atualizarBotoes);
    atualizarBotoes();
}

void TDBNavigator::setBotoes(const QList<Botao>& botoes, const QStringList& dicas)
{
    qDeleteAll(botoes_);
    botoes_.clear();
    for (int i = 0; i < botoes.size(); ++i) {
        const Botao b = botoes.at(i);
        auto* botao = new QToolButton(this);
        botao->setIcon(desenhar(b));
        botao->setToolTip(dicas.value(i));
        botao->setAccessibleName(dicas.value(i));
        // Tab reaches each button; a click leaves the focus on the field being edited.
        botao->setFocusPolicy(Qt::TabFocus);
        botao->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(botao, &QToolButton::clicked, this, [this, b] { clicar(b); });
        layout()->addWidget(botao);
        botoes_.insert(b, botao);
    }
    atualizarBotoes();
}

void TDBNavigator::clicar(Botao b)
{
    bool feito = false;
    ui::protegido(this, [&] { feito = executar(b); });
    if (feito) emit click(b);
}

bool TDBNavigator::executar(Botao b)
{
    if (!fonte_ || !fonte_->ativo()) return false;
    TApTable* t = fonte_->dataSet();
    switch (b) {
    case Botao::First:
    case Botao::Prior:
    case Botao::Next:
    case Botao::Last:
        // Moving away saves what was typed; a refused save keeps the record.
        if (!fonte_->checkBrowseMode()) return false;
        if (b == Botao::First) t->first();
        if (b == Botao::Prior) t->prior();
        if (b == Botao::Next) t->next();
        if (b == Botao::Last) t->last();
        return true;
    case Botao::Insert:
        if (!fonte_->checkBrowseMode()) return false;
        t->insert();
        return true;
    case Botao::Delete:
        if (t->isEmpty()) return false;
        if (!perguntaExcluir_.isEmpty() && !ui::pergunta(this, perguntaExcluir_)) return false;
        if (t->editing()) t->cancel();
        t->deleteRecord();
        return true;
    case Botao::Edit:
        fonte_->edit();
        return true;
    case Botao::Post: return fonte_->post();
    case Botao::Cancel:
        if (t->editing()) t->cancel();
        return true;
    case Botao::Refresh:
        if (!fonte_->checkBrowseMode()) return false;
        t->refresh();
        return true;
    }
    return false;
}

void TDBNavigator::atualizarBotoes()
{
    const bool ativo = fonte_ && fonte_->ativo();
    const bool editando = ativo && fonte_->editando();
    const bool vazio = !ativo || fonte_->dataSet()->isEmpty();
    const bool podeMudar = ativo && !fonte_->dataSet()->readOnly();
    for (auto it = botoes_.cbegin(); it != botoes_.cend(); ++it) {
        bool pode = ativo;
        switch (it.key()) {
        case Botao::First:
        case Botao::Prior:
        case Botao::Next:
        case Botao::Last: pode = ativo && !vazio; break;
        case Botao::Delete: pode = podeMudar && !vazio; break;
        case Botao::Edit: pode = podeMudar && !editando && !vazio; break;
        case Botao::Post:
        case Botao::Cancel: pode = editando; break;
        case Botao::Insert: pode = podeMudar; break;
        case Botao::Refresh: pode = ativo; break;
        }
        it.value()->setEnabled(pode);
    }
}
