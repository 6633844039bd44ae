#pragma once
#include <QLabel>
#include <QPixmap>

// A picture control that also reports the mouse entering and leaving it, and clicks.
class TQelImage : public QLabel {
    Q_OBJECT
public:
    explicit TQelImage(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);

signals:
    void OnMouseEnter(TQelImage* sender);
    void OnMouseLeave(TQelImage* sender);
    void clicked(TQelImage* sender);

protected:
    // Raise the events; subclasses may override them.
    virtual void MouseEnter();
    virtual void MouseLeave();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
