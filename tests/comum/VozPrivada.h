#pragma once
// A speech-dispatcher of the test's own: started by the first phrase in `pasta` (its runtime
// folder, log and settings there), playing into libao's null output, so that it runs on a
// machine without a sound card and touches nothing of the user's.
#include <QDir>
#include <QFile>
#include <QString>

inline bool prepararVozPrivada(const QString& pasta)
{
    QDir d(pasta);
    if (!d.mkpath(QStringLiteral("run")) || !d.mkpath(QStringLiteral(".config/speech-dispatcher"))) return false;
    QFile::setPermissions(d.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto escrever = [&d](const QString& nome, const char* texto) {
        QFile f(d.filePath(nome));
        return f.open(QIODevice::WriteOnly) && f.write(texto) > 0;
    };
    qputenv("XDG_RUNTIME_DIR", d.filePath(QStringLiteral("run")).toUtf8());
    qputenv("HOME", pasta.toUtf8());
    qunsetenv("SPEECHD_ADDRESS");
    return escrever(QStringLiteral(".config/speech-dispatcher/speechd.conf"),
                    "AudioOutputMethod \"libao\"\nDefaultModule espeak-ng\nDefaultLanguage \"pt-BR\"\n")
           && escrever(QStringLiteral(".libao"), "default_driver=null\n");
}
