// Program entry: creates the long-lived objects in their fixed order and runs the message loop.
#include "Principal35.h"

#include "data/Data1.h"
#include "platform/InstanciaUnica.h"
#include "results/Rel.h"
#include "students/AbrirNome.h"
#include "students/Selec.h"
#include "ui/Mensagens.h"
#include "ui/Traducao.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvex3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvex 3"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/imagens/icone.png")));
    ui::instalarTraducaoPortugues(app);

    // Two copies would share the same tables.
    if (!plataforma::adquirirInstanciaUnica()) {
        ui::aviso(nullptr, QStringLiteral("O Tarvex já está aberto."));
        return 0;
    }

    TForm1 form1;
    Tdm1 dataModule;
    FAbrir = new TFAbrir(&form1);
    FSelec = new TFSelec(&form1);
    TfAlunos4 fAlunos4Form;  // the report form: never shown, only its report is printed
    form1.show();
    return app.exec();
}
