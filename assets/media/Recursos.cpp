#include "Recursos.h"

#include <QFile>
#include <QtGlobal>

void tarvexInitResources() {
    Q_ASSERT_X(QFile::exists(QStringLiteral(":/imagens/icone.png")), "tarvexInitResources",
               "the packed resources are missing: link tarvex_resources");
}
