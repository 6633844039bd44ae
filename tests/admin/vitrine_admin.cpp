// Shows one administration window on copies of the shipped tables, for looking at it under X:
//   vitrine_admin editor|config|exig [arquivo.png]
// With a file name the window is also saved as a picture after it was drawn.
#include "admin/Config.h"
#include "admin/Editor.h"
#include "admin/Exigencia.h"
#include "data/Data1.h"
#include "platform/Diretorios.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString qual = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("editor");
    const QString arquivo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    QTemporaryDir pasta;
    const QDir dados(QStringLiteral(TARVEX_DATA_DIR "/Dados"));
    for (const char* nome : {"LicaoA.dbf", "LicaoA.cdx", "LicaoA.fpt", "LicaoB.dbf", "LicaoB.cdx",
                             "LicaoB.fpt", "Config.dbf", "Exigen.dbf"})
        QFile::copy(dados.filePath(nome), pasta.filePath(nome));
    plataforma::definirDiretorioTrabalho(pasta.path());

    Tdm1 dm;
    dm.TabConfig->setDatabaseName(pasta.path());
    dm.TabConfig->open();
    dm.TabExig->setDatabaseName(pasta.path());
    dm.TabExig->open();
    dm.Abnt2Keyboard = true;
    dm.MusicOn = false;
    dm.SoundOn = true;

    QDialog* janela = nullptr;
    if (qual == QLatin1String("config")) janela = new TfConfig;
    else if (qual == QLatin1String("exig")) janela = new TfExig;
    else janela = new TfEditor;
    janela->show();
    if (!arquivo.isEmpty()) {
        QTimer::singleShot(1500, [&] {
            janela->grab().save(arquivo);
            janela->close();
            app.quit();
        });
    }
    return app.exec();
}
