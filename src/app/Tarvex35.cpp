// Program entry: creates the long-lived objects in their fixed order and runs the message loop.
#include "Falador.h"
#include "IconeSobDemanda.h"
#include "Principal35.h"

#include "data/Data1.h"
#include "platform/Diretorios.h"
#include "platform/InstanciaUnica.h"
#include "platform/TamanhoDaTela.h"
#include "results/Rel.h"
#include "students/AbrirNome.h"
#include "students/Selec.h"
#include "ui/Acessibilidade.h"
#include "ui/Mensagens.h"
#include "ui/Traducao.h"

#include <QApplication>
#include <QIcon>

#include <csignal>
#include <memory>

int main(int argc, char* argv[])
{
    // A write past the file-size limit fails with an error the program reports (and rolls
    // back) instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // The size of every window, as last chosen on this computer: Qt takes it only at start.
    plataforma::TamanhoDaTela().aplicarAntesDeAbrir();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvex3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvex 3"));
    QApplication::setWindowIcon(QIcon(new IconeSobDemanda(QStringLiteral(":/imagens/icone.png"))));
    ui::instalarTraducaoPortugues(app);
    ui::instalarTeclasDeBotao();
    app.installEventFilter(new Falador(&app));

    // A lab's shared data folder: the machine's setting, or this user's option or variable.
    const QString pastaDados = plataforma::pastaDadosEscolhida(QApplication::arguments());
    if (!pastaDados.isEmpty()) plataforma::definirDiretorioTrabalho(pastaDados);

    // One copy per user: a second would only confuse its student.
    QString motivo;
    if (!plataforma::adquirirInstanciaUnica(&motivo)) {
        if (!motivo.isEmpty()) {
            ui::erro(nullptr, motivo);
            return 1;
        }
        ui::aviso(nullptr, QStringLiteral("O Tarvex já está aberto."));
        return 0;
    }

    TForm1 form1;
    Tdm1 dataModule;
    std::unique_ptr<TfAlunos4> fAlunos4Form;  // the report form: never shown, only its report is printed
    // The student and lesson choosers and the report form, made in that order, are not needed
    // to show the menu, nor while it only waits: they are built at the first button click.
    form1.noPrimeiroClique([&form1, &fAlunos4Form] {
        FAbrir = new TFAbrir(&form1);
        FSelec = new TFSelec(&form1);
        fAlunos4Form = std::make_unique<TfAlunos4>();
    });
    form1.show();
    return app.exec();
}
