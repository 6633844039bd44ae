#include "Fontes.h"

#include <QFontDatabase>

namespace ui {

QString familiaDislexia()
{
    for (const QString& f : {QStringLiteral("OpenDyslexicMono"), QStringLiteral("OpenDyslexic")})
        if (QFontDatabase::hasFamily(f)) return f;
    return QString();
}

} // namespace ui
