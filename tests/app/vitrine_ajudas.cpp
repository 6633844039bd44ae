// One window with a student's aids, for looking at it under X (see capturas-ajudas.sh):
//   vitrine_ajudas JANELA [contraste] [tamanho=150|200] [dislexia]
// JANELA: pratica, resultado, ajuda, or one of the others made as the program makes them
// (config, cadastro, editor, exig, turma, relat, grafico, teclas, recorde, recordes).
// The practice window shows a lesson under way with the keyboard guide lit.
#include "MundoPratica.h"

#include "admin/Config.h"
#include "admin/Editor.h"
#include "admin/Exigencia.h"
#include "platform/Ajuda.h"
#include "results/Recorde.h"
#include "results/Recordes.h"
#include "results/Teclas.h"
#include "results/grafico.h"
#include "results/relat.h"
#include "students/Turma.h"
#include "data/Data1.h"
#include "domain/AjudasAluno.h"
#include "domain/Esquema.h"
#include "practice/Digitacao.h"
#include "results/Resultado.h"
#include "students/Cadastro.h"
#include "ui/Mensagens.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

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
        } else if (janela == QLatin1String("ajuda")) {
            plataforma::mostrarAjuda(6, nullptr);
        } else if (janela != QLatin1String("resultado")) {
            const QHash<QString, std::function<QWidget*()>> fabricas = {
                {QStringLiteral("cadastro"), [] { return new TfCadastro; }},
                {QStringLiteral("editor"), [] { return new TfEditor; }},
                {QStringLiteral("exig"), [] { return new TfExig; }},
                {QStringLiteral("turma"), [] { return new TfTurma; }},
                {QStringLiteral("relat"), [] { return new TfRelat; }},
                {QStringLiteral("grafico"), [] { return new TfGrafico; }},
                {QStringLiteral("teclas"), [] { return new TfTeclas; }},
                {QStringLiteral("recorde"), [] { return new TfRecorde; }},
                {QStringLiteral("recordes"), [] { return new TfRecordes; }},
            };
            if (!fabricas.contains(janela)) qFatal("vitrine_ajudas: janela desconhecida");
            w = fabricas.value(janela)();
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
        if (w) w->show();
    }
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}
