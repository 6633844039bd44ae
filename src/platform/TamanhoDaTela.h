#pragma once
#include <QString>

namespace plataforma {

// The text size of the whole program on this computer (100, 150 or 200 percent), as last
// chosen in the settings: kept in a small file under the user's configuration folder and
// applied at the next start, since a running program cannot change its scale.
class TamanhoDaTela {
public:
    // The file in the user's configuration folder; tests give one of their own.
    explicit TamanhoDaTela(const QString& arquivo = arquivoPadrao());
    static QString arquivoPadrao();

    int ler() const;  // 100 when the file is missing or holds anything else
    void gravar(int percentual) const;  // quietly nothing when the folder cannot be written

    // Before the application is made: the scale of the run from the size kept, unless the
    // user set QT_SCALE_FACTOR already.
    void aplicarAntesDeAbrir() const;
    // The scale this run started with, in percent (QT_SCALE_FACTOR; 100 without it).
    static int escalaDaExecucao();

private:
    QString arquivo_;
};

} // namespace plataforma
