#include "FiguraPng.h"

#include <QImageReader>

namespace ui {
namespace {

void lerSoComoPng(QImageReader& leitor)
{
    leitor.setFormat("png");
    leitor.setAutoDetectImageFormat(false);
}

} // namespace

QImage lerFiguraPng(const QString& arquivo)
{
    QImageReader leitor(arquivo);
    lerSoComoPng(leitor);
    return leitor.read();
}

QSize tamanhoFiguraPng(const QString& arquivo)
{
    QImageReader leitor(arquivo);
    lerSoComoPng(leitor);
    return leitor.size();
}

} // namespace ui
