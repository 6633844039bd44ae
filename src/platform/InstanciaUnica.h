#pragma once
#include <QString>

namespace plataforma {

// Takes the lock that keeps a second copy of the program from sharing the tables. The lock
// file lives in the working directory (the runtime folder when that cannot be made) and is
// held until the process ends. False when another running copy holds it (the caller then says
// "O Tarvex já está aberto." and ends) or when the lock cannot be written; then motivo says
// what is wrong with which folder.
bool adquirirInstanciaUnica(QString* motivo = nullptr);
// The same with the lock file given (tests).
bool adquirirInstanciaUnica(const QString& arquivoTrava, QString* motivo = nullptr);

} // namespace plataforma
