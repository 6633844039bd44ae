#pragma once
#include <QString>

namespace plataforma {

// Takes the lock that keeps a user from running two copies of the program. The lock file lives
// in the user's runtime folder (the working directory when there is none), so other users and
// other computers sharing the data folder run their own copies; it is held until the process
// ends. False when another running copy holds it (the caller then says
// "O Tarvex já está aberto." and ends) or when the lock cannot be written; then motivo says
// what is wrong with which folder.
bool adquirirInstanciaUnica(QString* motivo = nullptr);
// The same with the lock file given (tests).
bool adquirirInstanciaUnica(const QString& arquivoTrava, QString* motivo = nullptr);

// Holds a lock on a folder shared by several computers while one of them fills it with the
// program's first files: the constructor makes the folder and waits for the lock (fcntl, which
// network file systems carry to the server); the destructor lets it go. Without a lock (a
// file system that has none) it goes on unlocked.
class TravaDaPasta {
public:
    explicit TravaDaPasta(const QString& pasta);
    ~TravaDaPasta();
    TravaDaPasta(const TravaDaPasta&) = delete;
    TravaDaPasta& operator=(const TravaDaPasta&) = delete;

private:
    int fd_ = -1;
};

} // namespace plataforma
