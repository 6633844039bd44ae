#include "TApolloEnv.h"

#include "xbase/Environment.h"

#include <QLocale>

TApolloEnv::TApolloEnv(QObject* parent) : QObject(parent) {}

void TApolloEnv::setCentury(bool on)
{
    century_ = on;
    xbase::environment().dateFormat = shortDateFormat(on).toStdString();
}

bool TApolloEnv::century() const { return century_; }
void TApolloEnv::setDeleted(bool on) { xbase::environment().deleted = on; }
bool TApolloEnv::deleted() const { return xbase::environment().deleted; }

QString TApolloEnv::shortDateFormat(bool century)
{
    // A machine without a locale of its own writes dates the Brazilian way.
    QLocale local;
    if (local.language() == QLocale::C) local = QLocale(QLocale::Portuguese, QLocale::Brazil);
    QString formato = local.dateFormat(QLocale::ShortFormat);
    if (century && formato.contains(QLatin1String("yy")) && !formato.contains(QLatin1String("yyyy")))
        formato.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return formato;
}
