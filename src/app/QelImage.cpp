#include "QelImage.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// A screen reader sees a push button that its "press" action clicks.
class BotaoFigura : public QAccessibleWidget {
public:
    explicit BotaoFigura(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& acao) override
    {
        if (acao == pressAction()) static_cast<TQelImage*>(widget())->clicar();
        else QAccessibleWidget::doAction(acao);
    }
};

QAccessibleInterface* fabricaBotaoFigura(const QString& classe, QObject* objeto)
{
    if (classe != QLatin1String("TQelImage") || !objeto->isWidgetType()) return nullptr;
    return new BotaoFigura(static_cast<QWidget*>(objeto));
}

} // namespace

TQelImage::TQelImage(QWidget* parent) : QLabel(parent)
{
    static const bool acessivel = (QAccessible::installFactory(fabricaBotaoFigura), true);
    Q_UNUSED(acessivel);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TQelImage::setPicture(const QPixmap& picture)
{
    setPixmap(picture);
}

void TQelImage::MouseEnter() { emit OnMouseEnter(this); }
void TQelImage::MouseLeave() { emit OnMouseLeave(this); }

void TQelImage::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (!hasFocus()) MouseEnter();
}

void TQelImage::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (!hasFocus()) MouseLeave();
}

void TQelImage::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        clicar();
}

void TQelImage::keyPressEvent(QKeyEvent* event)
{
    const int k = event->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space) && !event->isAutoRepeat()) {
        clicar();
        return;
    }
    QLabel::keyPressEvent(event);
}

// The focused button looks as the one under the mouse does.
void TQelImage::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    if (!underMouse()) MouseEnter();
}

void TQelImage::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    if (!underMouse()) MouseLeave();
}
