#pragma once
#include <QColor>
#include <QLabel>

// A label whose text stands out of the window: drawn over a shadow (Raised), pressed into it
// (Recessed) or pushed out as a solid block several pixels deep (Extrusion).
class TLabel3D : public QLabel {
    Q_OBJECT
public:
    enum class Estilo { Raised, Recessed, Shadow, Extrusion };

    explicit TLabel3D(const QString& texto = QString(), QWidget* parent = nullptr);

    void setEstilo(Estilo estilo);
    void setProfundidade(int pixels);
    void setCorSombra(const QColor& cor);
    void setCorLuz(const QColor& cor);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Estilo estilo_ = Estilo::Raised;
    int profundidade_ = 2;
    QColor sombra_ = QColor(0x40, 0x40, 0x40);
    QColor luz_ = Qt::white;
};
