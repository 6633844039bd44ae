#pragma once
// Runs the independent tools the tests check our files with (index_dump, xbtool, python).
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>

struct Execucao {
    int exitCode = -1;  // -1: did not start, did not finish, or crashed
    QByteArray out;
    QByteArray err;
};

inline Execucao executar(const QString& programa, const QStringList& args, const QString& pasta)
{
    QProcess p;
    p.setWorkingDirectory(pasta);
    p.start(programa, args);
    Execucao r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A (key, recno) list as index_dump prints it.
using ChavesDoIndice = QList<QPair<QByteArray, int>>;

// index_dump's "key recno" lines: the record number follows the last blank.
inline ChavesDoIndice lerIndexDump(const QByteArray& saida)
{
    ChavesDoIndice chaves;
    for (const QByteArray& linha : saida.split('\n')) {
        if (linha.isEmpty())
            continue;
        const int branco = linha.lastIndexOf(' ');
        chaves.append({linha.left(branco), linha.mid(branco + 1).toInt()});
    }
    return chaves;
}
