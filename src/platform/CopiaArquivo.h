#pragma once
#include <QString>
#include <QtGlobal>
#include <functional>
#include <stdexcept>

namespace plataforma {

// A failed copy; what() is the Portuguese message shown to the user (UTF-8).
class ErroCopia : public std::runtime_error {
public:
    explicit ErroCopia(const QString& mensagem);
    QString mensagem() const;
};

// Called after each block with the bytes copied so far and the file's size, and once more
// with 0 when the file is done.
using ProgressoCopia = std::function<void(qint64 copiados, qint64 total)>;

// Copies one file in fixed-size blocks, creating the missing folders of the target's path,
// and gives the target the source's modification date and time. The target appears under its
// name only when whole (written beside it, then renamed); on failure nothing is left and
// ErroCopia names the file and the cause ("disco cheio").
void copiarArquivo(const QString& origem, const QString& destino, const ProgressoCopia& progresso = {});

} // namespace plataforma
