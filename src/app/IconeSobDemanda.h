#pragma once
#include <QIconEngine>
#include <QString>

// An icon decoded from its PNG picture when windows ask for it instead of kept decoded for the
// whole run: a 256 × 256 picture held in memory costs a quarter of a megabyte. Made with no file,
// it is an icon without a picture: a window that carries it shows none instead of the program's.
class IconeSobDemanda : public QIconEngine {
public:
    explicit IconeSobDemanda(const QString& arquivo);

    QPixmap pixmap(const QSize& tamanho, QIcon::Mode modo, QIcon::State estado) override;
    void paint(QPainter* pintor, const QRect& area, QIcon::Mode modo, QIcon::State estado) override;
    QSize actualSize(const QSize& tamanho, QIcon::Mode modo, QIcon::State estado) override;
    QList<QSize> availableSizes(QIcon::Mode modo, QIcon::State estado) override;
    QIconEngine* clone() const override;
    QString key() const override { return QStringLiteral("IconeSobDemanda"); }

private:
    QString arquivo_;
    QSize tamanho_;  // the picture's own size, from its header; empty when unreadable
};
