// Every window as a screen reader and the keyboard meet it: each control that takes the focus
// has a name, and the picture buttons are buttons.
#include "Acessivel.h"
#include "MundoPratica.h"
#include "VozGravada.h"

#include "admin/Config.h"
#include "admin/Editor.h"
#include "admin/Exigencia.h"
#include "app/Copia.h"
#include "app/Falador.h"
#include "app/Principal35.h"
#include "app/QelImage.h"
#include "data/Data1.h"
#include "domain/AjudasAluno.h"
#include "domain/Esquema.h"
#include "platform/Voz.h"
#include "practice/Digitacao.h"
#include "results/Recorde.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "results/Teclas.h"
#include "results/grafico.h"
#include "results/relat.h"
#include "students/AbrirNome.h"
#include "students/Cadastro.h"
#include "students/Selec.h"
#include "students/Turma.h"
#include "ui/Acessibilidade.h"
#include "ui/Cores.h"
#include "ui/Mensagens.h"
#include "ui/TDBLookupComboBox.h"
#include "xbase/Table.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

using Fabrica = std::function<QWidget*()>;

// The windows of the program, each made as the program makes it.
const QList<QPair<const char*, Fabrica>>& janelas()
{
    static const QList<QPair<const char*, Fabrica>> lista = {
        {"Menu", [] { return new TForm1; }},
        {"Copia", [] { return new TfCopia; }},
        {"Cadastro", [] { return new TfCadastro; }},
        {"Abrir", [] { return new TFAbrir; }},
        {"Selec", [] { return new TFSelec; }},
        {"Turma", [] { return new TfTurma; }},
        {"Digitacao", [] { return new TFDigitacao; }},
        {"Resultado", [] { return new TfResultado; }},
        {"Recordes", [] { return new TfRecordes; }},
        {"Recorde", [] { return new TfRecorde; }},
        {"Relat", [] { return new TfRelat; }},
        {"Grafico", [] { return new TfGrafico; }},
        {"Teclas", [] { return new TfTeclas; }},
        {"Config", [] { return new TfConfig; }},
        {"Editor", [] { return new TfEditor; }},
        {"Exig", [] { return new TfExig; }},
    };
    return lista;
}

void abrirConfig(Tdm1* dm, const QString& pasta)
{
    dominio::criarTabela(pasta.toStdString(), dominio::esquemaConfig());
    xbase::Table config;
    config.open(pasta.toStdString(), "Config.dbf");
    config.insert();
    config.post();
    config.close();
    dm->TabConfig->setDatabaseName(pasta);
    dm->TabConfig->open();
}

} // namespace

class TstAcessivel : public QObject {
    Q_OBJECT
    std::unique_ptr<MundoPratica> mundo;

private slots:
    void init()
    {
        mundo = std::make_unique<MundoPratica>();
        mundo->aluno(QStringLiteral("ANA"), QStringLiteral("Básico"), 1, true);
        mundo->licao(QStringLiteral("Básico"), 1, QStringLiteral("fff jjj"));
        abrirConfig(mundo->dm, mundo->pasta());
        ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return false; });
    }
    void cleanup()
    {
        mundo.reset();
        ui::definirRespondedor({});
    }

    void todoControleTemNome_data()
    {
        QTest::addColumn<int>("indice");
        for (int i = 0; i < janelas().size(); ++i) QTest::newRow(janelas()[i].first) << i;
    }

    void todoControleTemNome()
    {
        QFETCH(int, indice);
        std::unique_ptr<QWidget> janela(janelas()[indice].second());
        QStringList semNome;
        for (QWidget* w : janela->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(janela.get())) continue;
            if (w->parentWidget() && w->parentWidget()->focusProxy() == w) continue;  // read as its owner
            if (nomeLido(w).trimmed().isEmpty())
                semNome << QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
            if (qobject_cast<TQelImage*>(w))
                QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Button);
        }
        QVERIFY2(semNome.isEmpty(), qPrintable(semNome.join(QStringLiteral(", "))));
    }

    // A screen reader reads the line to type, the copy with its caret and the next key, also
    // after a wrong keystroke (the change events reach it through the bus: see the end-to-end test).
    void praticaLidaComoTexto()
    {
        TFDigitacao w;
        w.show();
        w.bIniciar->click();
        QAccessibleTextInterface* copia = QAccessible::queryAccessibleInterface(w.txtLetra)->textInterface();
        QAccessibleTextInterface* linha = QAccessible::queryAccessibleInterface(w.lblTexto)->textInterface();
        QVERIFY(copia && linha);
        QCOMPARE(linha->text(0, linha->characterCount()), QStringLiteral("fff jjj"));
        QCOMPARE(w.txtLetra->accessibleDescription(), QStringLiteral("Próxima tecla: F, indicador esquerdo"));
        digitar(w.txtLetra, QStringLiteral("fffx"));
        QCOMPARE(copia->text(0, copia->characterCount()), QStringLiteral("fffx"));
        QCOMPARE(copia->cursorPosition(), 3);  // under the wrong key
        QCOMPARE(w.txtLetra->accessibleDescription(), QStringLiteral("Próxima tecla: espaço, polegar"));
        digitar(w.txtLetra, QStringLiteral(" j"));
        QCOMPARE(copia->text(0, copia->characterCount()), QStringLiteral("fff j"));
        QCOMPARE(copia->cursorPosition(), 5);
        QCOMPARE(QAccessible::queryAccessibleInterface(w.VelL)->text(QAccessible::Name), QStringLiteral("Velocidade"));
    }

    void contrasteDoQueSePinta_data()
    {
        QTest::addColumn<bool>("alto");
        QTest::newRow("normal (4.5:1)") << false;
        QTest::newRow("alto contraste (7:1)") << true;
    }

    // Every text against its background, as the windows paint them, reaches the scheme's
    // minimum: the keyboard guide's keys lit in each finger's colour with their letters, the
    // practice's panels and cursor, the result window's texts.
    void contrasteDoQueSePinta()
    {
        QFETCH(bool, alto);
        dominio::AjudasAluno ajudas;
        ajudas.altoContraste = alto;
        dominio::gravarAjudas(mundo->pasta().toStdString(), "ANA", ajudas);
        QStringList fracos;
        double minimo = 0;
        const auto conferir = [&](const QString& onde, const QColor& texto, const QColor& fundo) {
            const double r = ui::contraste(texto, fundo);
            if (r < minimo) fracos << QStringLiteral("%1 %2 sobre %3: %4").arg(onde, texto.name(), fundo.name()).arg(r, 0, 'f', 2);
        };
        const auto cor = [](QWidget* w, QPalette::ColorRole papel) { return w->palette().color(papel); };
        TFDigitacao w;
        w.show();  // takes the student's scheme
        minimo = ui::cores().contrasteMinimo;
        QCOMPARE(minimo, alto ? 7.0 : 4.5);
        for (QPushButton* dedo : {w.ba1, w.ba2, w.ba3, w.ba4, w.ba5, w.bp1, w.bp2, w.bp3, w.bp4, w.bp5, w.bd1, w.bd2,
                                  w.bced3, w.bd4, w.bc1, w.bc2, w.bc3, w.bc4}) {
            conferir(QStringLiteral("teclas apagadas"), cor(dedo->parentWidget()->findChild<QLabel*>(), QPalette::WindowText),
                     cor(dedo->parentWidget()->findChild<QLabel*>(), QPalette::Window));
            dedo->click();  // lights every key of the finger
            for (QLabel* tecla : dedo->parentWidget()->findChildren<QLabel*>())
                if (!tecla->text().isEmpty())
                    conferir(dedo->text() + QLatin1Char(' ') + tecla->text(), cor(tecla, QPalette::WindowText),
                             cor(tecla, QPalette::Window));
            dedo->click();
        }
        w.ZerarDados();
        for (QLabel* figura : {w.VelL, w.PrecL, w.DuracaoL})
            conferir(figura->accessibleName(), cor(figura, QPalette::WindowText), cor(w.Panel5, QPalette::Window));
        for (QLabel* linha : {w.lblTexto, w.lblCopy1})
            conferir(linha->accessibleName(), cor(linha, QPalette::WindowText), cor(linha, QPalette::Window));
        w.bIniciar->click();
        digitar(w.txtLetra, QStringLiteral("x"));  // the cursor turns to the error colour
        conferir(QStringLiteral("cursor do erro"), cor(w.lblCursor, QPalette::WindowText), cor(w.lblCopy1, QPalette::Window));
        conferir(QStringLiteral("cursor do erro no painel"), cor(w.lblCursor, QPalette::WindowText), cor(w.pLic, QPalette::Window));

        TfResultado resultado;
        resultado.mostrarTeclaMaisErrada(QStringLiteral("Tecla mais errada: ç (3 vezes)"));
        resultado.show();
        conferir(QStringLiteral("Tecla mais errada"), cor(resultado.TeclaMaisErrada, QPalette::WindowText),
                 resultado.palette().color(QPalette::Window));
        conferir(QStringLiteral("Resultado"), cor(resultado.Label7, QPalette::WindowText), ui::cores().papelResultado);
        ui::usarAltoContraste(false);
        QVERIFY2(fracos.isEmpty(), qPrintable(fracos.join(QStringLiteral("; "))));
    }

    // The scheme changed while the program runs (the settings, a student's practice) reaches
    // the windows made before, also those under the menu's style sheet: the chooser's label
    // and buttons read on its background in either scheme.
    void esquemaMudadoChegaAJanelasJaFeitas()
    {
        TForm1 menu;
        menu.show();
        TFAbrir abrir(&menu);
        abrir.show();
        abrir.hide();
        for (bool alto : {true, false}) {
            ui::usarAltoContraste(alto);
            abrir.show();
            const QPalette programa = QApplication::palette();
            QCOMPARE(abrir.palette().color(QPalette::Window), programa.color(QPalette::Window));
            QCOMPARE(abrir.Label1->palette().color(QPalette::WindowText), programa.color(QPalette::WindowText));
            QCOMPARE(abrir.b1->palette().color(QPalette::Button), programa.color(QPalette::Button));
            QCOMPARE(abrir.b1->palette().color(QPalette::ButtonText), programa.color(QPalette::ButtonText));
            abrir.hide();
        }
    }

    // With the voice on, a window says its title and what it carries to be read when it opens.
    void janelaDizOTitulo()
    {
        QStringList ditos;
        plataforma::definirVoz(std::make_unique<VozGravada>(&ditos));
        Falador falador;
        qApp->installEventFilter(&falador);
        QDialog janela;
        janela.setWindowTitle(QStringLiteral("Resultado"));
        janela.setAccessibleDescription(QStringLiteral("Lição 1: Aprovado."));
        janela.show();
        janela.hide();
        plataforma::ligarFala(true);
        janela.show();
        QCOMPARE(ditos, QStringList{QStringLiteral("falar:Resultado. Lição 1: Aprovado.")});  // said only with the voice on
        plataforma::ligarFala(false);
        plataforma::definirVoz(nullptr);
    }

    // A student who cannot see turns the voice on at the menu and picks a name by ear; a
    // student whose "Falar" is off does not silence it, and the key turns it off again.
    void vozAntesDeEscolherOAluno()
    {
        QStringList ditos;
        plataforma::definirVoz(std::make_unique<VozGravada>(&ditos));
        Falador falador;
        qApp->installEventFilter(&falador);
        mundo->aluno(QStringLiteral("BIA"), QStringLiteral("Básico"), 1, true);
        TForm1 menu;
        QShortcut* f12 = nullptr;
        for (QShortcut* a : menu.findChildren<QShortcut*>())
            if (a->key() == QKeySequence(Qt::Key_F12)) f12 = a;
        QVERIFY(f12);
        emit f12->activated();
        QCOMPARE(ditos, QStringList{QStringLiteral("falar:Voz ligada")});

        TFAbrir abrir;
        abrir.show();
        QCOMPARE(ditos.last(), QStringLiteral("falar:Abrir. Selecione o nome do aluno:"));
        QTest::keyClick(abrir.dl1, Qt::Key_Down);
        QTest::keyClick(abrir.dl1, Qt::Key_Down);
        QCOMPARE(ditos.mid(ditos.size() - 2), (QStringList{QStringLiteral("falar:ANA"), QStringLiteral("falar:BIA")}));
        abrir.hide();
        abrir.show();
        QCOMPARE(ditos.last(), QStringLiteral("falar:Abrir. Selecione o nome do aluno: BIA"));
        abrir.hide();

        TFDigitacao pratica;  // BIA's "Falar" is off
        pratica.show();
        QVERIFY(plataforma::falando());
        pratica.hide();
        emit f12->activated();
        QCOMPARE(ditos.last(), QStringLiteral("falar:Voz desligada"));
        QVERIFY(!plataforma::falando());
        plataforma::definirVoz(nullptr);
    }
};

QTEST_MAIN(TstAcessivel)
#include "tst_acessivel.moc"
