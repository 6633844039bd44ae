#include "TStatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

void TStatusBar::setPaineis(const QVector<int>& larguras)
{
    for (QLabel* l : paineis_) {
        removeWidget(l);
        delete l;
    }
    paineis_.clear();
    for (int i = 0; i < larguras.size(); ++i) {
        auto* painel = new QLabel(this);
        painel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        painel->setMinimumWidth(larguras.at(i));
        painel->setContentsMargins(2, 0, 2, 0);
        const bool ultimo = i == larguras.size() - 1;
        if (!ultimo) painel->setFixedWidth(larguras.at(i));
        addWidget(painel, ultimo ? 1 : 0);
        paineis_ << painel;
    }
}

void TStatusBar::setTextoPainel(int painel, const QString& texto)
{
    if (painel >= 0 && painel < paineis_.size()) paineis_.at(painel)->setText(texto);
}

QString TStatusBar::textoPainel(int painel) const
{
    return painel >= 0 && painel < paineis_.size() ? paineis_.at(painel)->text() : QString();
}
