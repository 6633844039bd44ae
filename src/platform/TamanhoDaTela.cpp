#include "TamanhoDaTela.h"

#include "domain/AjudasAluno.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace plataforma {
namespace {

bool oferecido(int p) { return dominio::tamanhoTextoValido(p) == p; }

} // namespace

TamanhoDaTela::TamanhoDaTela(const QString& arquivo) : arquivo_(arquivo) {}

QString TamanhoDaTela::arquivoPadrao()
{
    // Read before the application exists, so without its name: the generic folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/tarvex3/tamanho-do-texto");
}

int TamanhoDaTela::ler() const
{
    QFile f(arquivo_);
    if (!f.open(QIODevice::ReadOnly)) return 100;
    const int p = QString::fromLatin1(f.read(16)).trimmed().toInt();
    return oferecido(p) ? p : 100;
}

void TamanhoDaTela::gravar(int percentual) const
{
    if (!oferecido(percentual) || percentual == ler()) return;
    QDir().mkpath(QFileInfo(arquivo_).absolutePath());
    QSaveFile f(arquivo_);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(QByteArray::number(percentual) + '\n');
    f.commit();
}

void TamanhoDaTela::aplicarAntesDeAbrir() const
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) return;
    const int p = ler();
    if (p != 100) qputenv("QT_SCALE_FACTOR", QByteArray::number(p / 100.0));
}

int TamanhoDaTela::escalaDaExecucao()
{
    bool ok = false;
    const double f = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && f > 0 ? int(std::lround(f * 100)) : 100;
}

} // namespace plataforma
