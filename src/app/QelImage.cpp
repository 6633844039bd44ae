#include "QelImage.h"

#include <QMouseEvent>

TQelImage::TQelImage(QWidget* parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
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
    MouseEnter();
}

void TQelImage::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    MouseLeave();
}

void TQelImage::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(this);
}
