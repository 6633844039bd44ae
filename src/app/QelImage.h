#pragma once
#include <QLabel>
#include <QPixmap>

// A picture control that also reports the mouse entering and leaving it, and clicks. It is a
// button to the keyboard and to a screen reader as well: it takes the focus by Tab, Enter or
// Space presses it, and it shows the focus as it shows the mouse over it.
class TQelImage : public QLabel {
    Q_OBJECT
public:
    explicit TQelImage(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);

public slots:
    void clicar() { emit clicked(this); }

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
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
