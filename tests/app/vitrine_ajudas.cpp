// One window with a student's aids, for looking at it under X (see capturas-ajudas.sh):
//   vitrine_ajudas pratica|config|resultado|cadastro|editor [contraste] [tamanho=150|200] [dislexia]
// The practice window shows a lesson under way with the keyboard guide lit.
#include "MundoPratica.h"

#include "admin/Config.h"
#include "admin/Editor.h"
#include "data/Data1.h"
#include "domain/AjudasAluno.h"
#include "domain/Esquema.h"
#include "practice/Digitacao.h"
#include "results/Resultado.h"
#include "students/Cadastro.h"
#include "ui/Mensagens.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString janela = args.value(0, QStringLiteral("pratica"));
    ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return false; });

    MundoPratica mundo;
    mundo.aluno(QStringLiteral("ANA"), QStringLiteral("Básico"), 1, true);
    mundo.licao(QStringLiteral("Básico"), 1, QStringLiteral("asdf jklç asdf jklç fff jjj ddd kkk sss lll aaa ççç gf hj"));
    dominio::criarTabela(mundo.pasta().toStdString(), dominio::esquemaConfig());
    {
        xbase::Table config;
        config.open(mundo.pasta().toStdString(), "Config.dbf");
        config.insert();
        config.post();
    }
    mundo.dm->TabConfig->setDatabaseName(mundo.pasta());
    mundo.dm->TabConfig->open();
    dominio::AjudasAluno ajudas;
    for (const QString& a : args.mid(1)) {
        if (a == QLatin1String("contraste")) ajudas.altoContraste = true;
        else if (a == QLatin1String("dislexia")) ajudas.fonteDislexia = true;
        else if (a.startsWith(QLatin1String("tamanho="))) ajudas.tamanhoTexto = a.mid(8).toInt();
    }
    dominio::gravarAjudas(mundo.pasta().toStdString(), "ANA", ajudas);

    QWidget* w = nullptr;
    TFDigitacao pratica;
    pratica.show();  // the student's aids are read here, whatever window is looked at
    if (janela == QLatin1String("pratica")) {
        w = &pratica;
        pratica.bIniciar->click();
        digitar(pratica.txtLetra, QStringLiteral("asdf jkx"));
    } else {
        pratica.hide();
        if (janela == QLatin1String("config")) {
            w = new TfConfig;
        } else if (janela == QLatin1String("cadastro")) {
            w = new TfCadastro;
        } else if (janela == QLatin1String("editor")) {
            w = new TfEditor;
        } else {
            auto* r = new TfResultado;
            r->Label1->setText(QStringLiteral("1"));
            r->Label2->setText(QStringLiteral("120 teclas/min"));
            r->Label3->setText(QStringLiteral("96%"));
            r->Label4->setText(QStringLiteral("02:10"));
            r->Label5->setText(QStringLiteral("Aprovado"));
            r->mostrarTeclaMaisErrada(QStringLiteral("Tecla mais errada: ç (3 vezes)"));
            w = r;
        }
        w->show();
    }
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}
