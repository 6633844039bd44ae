// The student windows: the opening flow, the lesson chooser and the registration window.
#include "Acessivel.h"
#include "AmbienteAlunos.h"
#include "domain/AjudasAluno.h"
#include "domain/ArquivoTeclas.h"
#include "students/AbrirNome.h"
#include "students/Cadastro.h"
#include "students/Selec.h"
#include "ui/Acessibilidade.h"
#include "ui/Mensagens.h"
#include "ui/TDBComboBox.h"
#include "ui/TDBEdit.h"
#include "ui/TDBLookupComboBox.h"
#include "ui/TSpinEdit.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TstAlunos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void semAlunosOfereceCadastro_data();
    void semAlunosOfereceCadastro();
    void cancelarNaoAbreNada();
    void okSemNomeAvisa();
    void okVoltaAoNomeMostrado();
    void alunoRemovidoNaoAbrePratica();

    void licaoDentroDoLimite_data();
    void licaoDentroDoLimite();
    void okTemOFoco();

    void nomeDigitado_data();
    void nomeDigitado();
    void limiteDeAlunos_data();
    void limiteDeAlunos();
    void duplicadoRecusadoJanelaFicaAberta();
    void licaoLimitadaPeloTipo_data();
    void licaoLimitadaPeloTipo();
    void nomeVazioViraNoname();
    void fecharSalvaOuDescarta();
    void pendenteQueNaoSePodeGravarEDescartado();
    void renomearLevaResultados();
    void renomeacaoInterrompidaRetomada_data();
    void renomeacaoInterrompidaRetomada();
    void posicaoDoAluno();
    void contagemSegueOutroComputador();

    void removerLevaSoResultadosDoAluno();
    void removerRespondidoNao();
    void removerUltimoAluno();
    void cadastroSoPeloTeclado();

private:
    // Runs the opening flow; acao acts on the open dialog and closes it.
    ResultadoAbertura fluxo(const std::function<void(TFAbrir&)>& acao);
    void digitar(QWidget* w, const QString& texto);
    QString nomeAtual() { return amb_->dm->TabAluno->fieldByName("Nome").asString(); }

    std::unique_ptr<AmbienteAlunos> amb_;
    std::unique_ptr<TFAbrir> abrir_;
    QStringList mensagens_;
    bool respostaSim_ = true;
    int cadastrosAbertos_ = 0;
};

void TstAlunos::init()
{
    amb_ = std::make_unique<AmbienteAlunos>();
    abrir_ = std::make_unique<TFAbrir>();
    mensagens_.clear();
    respostaSim_ = true;
    cadastrosAbertos_ = 0;
    ui::definirRespondedor([this](ui::TipoMensagem, const QString& texto) {
        mensagens_ << texto;
        return respostaSim_;
    });
}

void TstAlunos::cleanup()
{
    abrir_.reset();
    amb_.reset();
    ui::definirRespondedor({});
}

ResultadoAbertura TstAlunos::fluxo(const std::function<void(TFAbrir&)>& acao)
{
    TFAbrir* abrir = abrir_.get();
    QTimer::singleShot(0, abrir, [abrir, acao] { acao(*abrir); });
    return fluxoAbertura(nullptr, abrir, [this] { ++cadastrosAbertos_; });
}

void TstAlunos::digitar(QWidget* w, const QString& texto)
{
    // Non-ASCII characters go as key events of their own (keyClicks aborts on them).
    for (const QChar c : texto) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// ---- Opening flow ------------------------------------------------------------------------

void TstAlunos::semAlunosOfereceCadastro_data()
{
    QTest::addColumn<bool>("sim");
    QTest::addColumn<int>("cadastros");
    QTest::newRow("Sim abre o cadastro") << true << 1;
    QTest::newRow("Não volta ao menu") << false << 0;
}

void TstAlunos::semAlunosOfereceCadastro()
{
    QFETCH(bool, sim);
    QFETCH(int, cadastros);
    respostaSim_ = sim;
    bool abriuEscolha = false;
    const auto r = fluxo([&](TFAbrir& d) { abriuEscolha = true; d.reject(); });
    QCOMPARE(r, ResultadoAbertura::Cancelado);
    QVERIFY(!abriuEscolha);
    QCOMPARE(mensagens_, QStringList{"Não possui nenhum nome cadastrado! Deseja cadastrar agora?"});
    QCOMPARE(cadastrosAbertos_, cadastros);
    QCoreApplication::processEvents();  // the unused timer finds no dialog to close
}

void TstAlunos::cancelarNaoAbreNada()
{
    amb_->aluno("ANA");
    const auto r = fluxo([](TFAbrir& d) {
        QTest::keyClick(d.dl1, Qt::Key_Down);
        d.BitBtn2->click();
    });
    QCOMPARE(r, ResultadoAbertura::Cancelado);
    QVERIFY(mensagens_.isEmpty());
    QCOMPARE(cadastrosAbertos_, 0);
}

void TstAlunos::okSemNomeAvisa()
{
    amb_->aluno("ANA");
    const auto r = fluxo([](TFAbrir& d) { QTest::keyClick(&d, Qt::Key_Return); });
    QCOMPARE(r, ResultadoAbertura::Cancelado);
    QCOMPARE(mensagens_, QStringList{"Nome do aluno inválido!"});
}

void TstAlunos::okVoltaAoNomeMostrado()
{
    amb_->aluno("ANA");
    amb_->aluno("BIA");
    amb_->aluno("CAIO");

    int itens = 0;
    auto r = fluxo([&](TFAbrir& d) {
        itens = d.dl1->count();
        QTest::keyClick(d.dl1, Qt::Key_Down);  // ANA
        QTest::keyClick(d.dl1, Qt::Key_Down);  // BIA
        d.b1->click();
    });
    QCOMPARE(itens, 3);
    QCOMPARE(r, ResultadoAbertura::AbrirPratica);
    QCOMPARE(nomeAtual(), QString("BIA"));

    // Another window moves the table; the name shown is still the one picked.
    amb_->dm->TabAluno->last();
    QString mostrado;
    r = fluxo([&](TFAbrir& d) {
        mostrado = d.dl1->currentText();
        d.b1->click();
    });
    QCOMPARE(mostrado, QString("BIA"));
    QCOMPARE(r, ResultadoAbertura::AbrirPratica);
    QCOMPARE(nomeAtual(), QString("BIA"));
    QVERIFY(mensagens_.isEmpty());
}

void TstAlunos::alunoRemovidoNaoAbrePratica()
{
    amb_->aluno("ANA");
    amb_->aluno("BIA");
    fluxo([](TFAbrir& d) {
        QTest::keyClick(d.dl1, Qt::Key_Down);
        QTest::keyClick(d.dl1, Qt::Key_Down);
        d.b1->click();
    });
    QCOMPARE(nomeAtual(), QString("BIA"));
    TApTable* t = amb_->dm->TabAluno;
    t->deleteRecord();
    t->pack();

    int itens = 0;
    const auto r = fluxo([&](TFAbrir& d) {
        itens = d.dl1->count();
        d.b1->click();
    });
    QCOMPARE(itens, 1);
    QCOMPARE(r, ResultadoAbertura::Cancelado);
    QCOMPARE(mensagens_, QStringList{"Nome do aluno inválido!"});
}

// ---- Lesson chooser ----------------------------------------------------------------------

void TstAlunos::licaoDentroDoLimite_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("licao");
    QTest::addColumn<bool>("negado");
    QTest::newRow("acima do limite") << "25" << 20 << 20 << true;
    QTest::newRow("no limite") << "20" << 20 << 20 << false;
    QTest::newRow("dentro") << "7" << 20 << 7 << false;
    QTest::newRow("zero") << "0" << 20 << 1 << false;
    QTest::newRow("negativo") << "-5" << 20 << 1 << false;
    QTest::newRow("vazio") << "" << 20 << 1 << false;
    QTest::newRow("letras recusadas") << "abc" << 20 << 1 << false;
    QTest::newRow("três dígitos no máximo") << "1234" << 999 << 123 << false;
}

void TstAlunos::licaoDentroDoLimite()
{
    QFETCH(QString, digitado);
    QFETCH(int, limite);
    QFETCH(int, licao);
    QFETCH(bool, negado);
    TFSelec selec;
    selec.se1->setMaxValue(limite);
    selec.se1->setValue(limite);
    selec.se1->selectAll();
    QTest::keyClick(selec.se1, Qt::Key_Backspace);
    QTest::keyClicks(selec.se1, digitado);
    QCOMPARE(selec.se1->value(), licao);
    QCOMPARE(mensagens_, negado ? QStringList{"Acesso negado! "} : QStringList{});
}

void TstAlunos::okTemOFoco()
{
    TFSelec selec;
    selec.se1->setMaxValue(7);
    selec.se1->setValue(7);
    selec.show();
    QCOMPARE(selec.focusWidget(), static_cast<QWidget*>(selec.BitBtn1));
    QTest::keyClick(&selec, Qt::Key_Return);
    QCOMPARE(selec.result(), int(QDialog::Accepted));
    QCOMPARE(selec.se1->value(), 7);
}

// ---- Registration ------------------------------------------------------------------------

void TstAlunos::nomeDigitado_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("gravado");
    QTest::newRow("maiúsculas") << "jose silva" << "JOSE SILVA";
    QTest::newRow("acentos") << "joão conceição" << "JOÃO CONCEIÇÃO";
    QTest::newRow("aspas recusadas") << "a\"b" << "AB";
    QTest::newRow("fora do Windows-1252") << "aőb" << "AB";
    QTest::newRow("20 caracteres") << "abcdefghijklmnopqrstuvwxyz" << "ABCDEFGHIJKLMNOPQRST";
    QTest::newRow("sem maiúscula no Windows-1252") << "µÿ ñ" << "µŸ Ñ";  // Ÿ is in the page, Μ is not
}

void TstAlunos::nomeDigitado()
{
    QFETCH(QString, digitado);
    QFETCH(QString, gravado);
    TfCadastro cad;
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    digitar(cad.DBEdit1, digitado);
    QCOMPARE(cad.DBEdit1->text(), gravado);
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Post);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{gravado});
}

void TstAlunos::limiteDeAlunos_data()
{
    QTest::addColumn<int>("existentes");
    QTest::addColumn<int>("depois");
    QTest::addColumn<bool>("aviso");
    QTest::newRow("30 alunos: o 31º entra") << 30 << 31 << false;
    QTest::newRow("31 alunos: limite") << 31 << 31 << true;
}

void TstAlunos::limiteDeAlunos()
{
    QFETCH(int, existentes);
    QFETCH(int, depois);
    QFETCH(bool, aviso);
    for (int i = 1; i <= existentes; ++i) amb_->aluno(QStringLiteral("ALUNO %1").arg(i));
    TfCadastro cad;
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    if (aviso) {
        QCOMPARE(mensagens_, QStringList{"Limite máximo de alunos atingidos! Remova um dos alunos "
                                         "cadastrados e tente novamente!"});
        QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Browse);
    } else {
        QCOMPARE(cad.Label1->text(), QString("Aluno: Novo"));
        digitar(cad.DBEdit1, "novato");
        cad.DBNavigator1->clicar(TDBNavigator::Botao::Post);
        QVERIFY(mensagens_.isEmpty());
    }
    QCOMPARE(amb_->dm->TabAluno->recordCount(), depois);
}

void TstAlunos::duplicadoRecusadoJanelaFicaAberta()
{
    amb_->aluno("ANA");
    TfCadastro cad;
    cad.show();
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    digitar(cad.DBEdit1, "ana");
    respostaSim_ = false;  // the change is not dropped
    cad.BitBtn1->click();  // "&Sair"
    QCOMPARE(mensagens_, (QStringList{"Este nome<ANA> já existe!", "A alteração não pôde ser salva. Descartá-la e sair?"}));
    QVERIFY(cad.isVisible());
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Insert);
    QCOMPARE(cad.DBEdit1->text(), QString("ANA"));

    // Moving away is refused the same way and keeps what was typed.
    cad.DBNavigator1->clicar(TDBNavigator::Botao::First);
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Insert);

    digitar(cad.DBEdit1, "b");
    cad.BitBtn1->click();
    QVERIFY(!cad.isVisible());
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), (QStringList{"ANA", "ANAB"}));
}

void TstAlunos::pendenteQueNaoSePodeGravarEDescartado()
{
    amb_->aluno("ANA");
    TfCadastro cad;
    cad.show();
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    digitar(cad.DBEdit1, "ana");
    cad.BitBtn1->click();  // answered "Sim": dropped
    QVERIFY(!cad.isVisible());
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Browse);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{"ANA"});
}

namespace {
// A finished lesson's key figures stored under the student's name.
void figurasDeTeclas(const QTemporaryDir& dir, const char* nome)
{
    dominio::EstatisticaTeclas figuras;
    figuras.figura(U'a').acertos = 1;
    dominio::gravarTeclas(dir.path().toStdString(), nome, "Básico", 1, 2026, 12, 8, figuras);
}
} // namespace

void TstAlunos::renomearLevaResultados()
{
    amb_->aluno("ANA");
    amb_->aluno("BIA");
    amb_->resultado("ANA", 1);
    amb_->resultado("BIA", 1);
    amb_->resultado("ANA", 2);
    figurasDeTeclas(amb_->dir, "ANA");
    figurasDeTeclas(amb_->dir, "BIA");
    dominio::gravarAjudas(amb_->dir.path().toStdString(), "ANA", dominio::AjudasAluno{true});
    TApTable* t = amb_->dm->TabAluno;
    t->first();
    t->edit();
    t->fieldByName("Nome").setAsString("LIA");
    QVERIFY(t->post());
    // The aids follow the new name, as the results do.
    QVERIFY(dominio::lerAjudas(amb_->dir.path().toStdString(), "LIA").falar);
    QVERIFY(!dominio::lerAjudas(amb_->dir.path().toStdString(), "ANA").falar);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), (QStringList{"LIA", "BIA"}));
    QCOMPARE(amb_->nomesNoArquivo("Relat.dbf"), (QStringList{"LIA", "BIA", "LIA"}));
    QCOMPARE(amb_->nomesNoArquivo("Teclas.dbf"), (QStringList{"LIA", "BIA"}));
    QVERIFY(!QFile::exists(amb_->dir.filePath("renomeacao.pendente")));
}

// A crash after the student's row was written finishes at the next start; one before it (the
// row still has the old name) is dropped.
void TstAlunos::renomeacaoInterrompidaRetomada_data()
{
    QTest::addColumn<QString>("alunoGravado");
    QTest::addColumn<QStringList>("resultados");
    QTest::newRow("linha do aluno gravada") << "LIA" << QStringList{"LIA", "BIA"};
    QTest::newRow("linha do aluno não gravada") << "ANA" << QStringList{"ANA", "BIA"};
}

void TstAlunos::renomeacaoInterrompidaRetomada()
{
    QFETCH(QString, alunoGravado);
    QFETCH(QStringList, resultados);
    amb_->aluno(alunoGravado);
    amb_->aluno("BIA");
    amb_->resultado("ANA", 1);
    amb_->resultado("BIA", 1);
    QFile diario(amb_->dir.filePath("renomeacao.pendente"));
    QVERIFY(diario.open(QIODevice::WriteOnly));
    diario.write("ANA\nLIA");
    diario.close();
    amb_->dm->retomarRenomeacao();
    QCOMPARE(amb_->nomesNoArquivo("Relat.dbf"), resultados);
    QVERIFY(!diario.exists());
}

void TstAlunos::licaoLimitadaPeloTipo_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("licao");
    QTest::addColumn<int>("gravada");
    QTest::newRow("Textos 35") << "Textos" << "35" << 20;
    QTest::newRow("Avançado 75") << "Avançado" << "75" << 40;
    QTest::newRow("Básico 60") << "Básico" << "60" << 60;
    QTest::newRow("Básico 61") << "Básico" << "61" << 60;
    QTest::newRow("Numérico 31") << "Numérico" << "31" << 30;
}

void TstAlunos::licaoLimitadaPeloTipo()
{
    QFETCH(QString, tipo);
    QFETCH(QString, licao);
    QFETCH(int, gravada);
    TfCadastro cad;
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    digitar(cad.DBEdit1, "aluno");
    cad.DBEdit2->selectAll();
    digitar(cad.DBEdit2, licao);
    // The list offers only its four choices; a key picks the one it starts with.
    QCOMPARE(cad.DBComboBox1->count(), 4);
    QTest::keyClick(cad.DBComboBox1, tipo.at(0).toLatin1());
    QCOMPARE(cad.DBComboBox1->currentText(), tipo);
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Post);
    TApTable* t = amb_->dm->TabAluno;
    QCOMPARE(t->fieldByName("Tipo").asString(), tipo);
    QCOMPARE(t->fieldByName("Licao").asInteger(), qint64(gravada));
    QCOMPARE(cad.DBEdit2->text(), QString::number(gravada));
}

void TstAlunos::nomeVazioViraNoname()
{
    amb_->aluno("NONAME");
    TfCadastro cad;
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Post);
    QVERIFY(mensagens_.isEmpty());
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), (QStringList{"NONAME", "NONAME"}));
    QCOMPARE(cad.DBEdit1->text(), QString("NONAME"));
    QCOMPARE(cad.DBComboBox1->currentText(), QString("Básico"));
    QCOMPARE(cad.DBComboBox2->currentText(), QString("Iniciante"));
}

void TstAlunos::fecharSalvaOuDescarta()
{
    amb_->aluno("ANA");
    {
        // A new record in which nothing was typed is dropped.
        TfCadastro cad;
        cad.show();
        cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
        cad.close();
        QVERIFY(!cad.isVisible());
    }
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Browse);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{"ANA"});
    {
        // A change typed into an existing record is saved.
        TfCadastro cad;
        cad.show();
        cad.DBEdit1->end(false);
        digitar(cad.DBEdit1, "lia");
        cad.close();
        QVERIFY(!cad.isVisible());
    }
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Browse);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{"ANALIA"});
}

void TstAlunos::posicaoDoAluno()
{
    amb_->aluno("ANA");
    amb_->aluno("BIA");
    amb_->aluno("CAIO");
    amb_->dm->TabAluno->first();
    TfCadastro cad;
    QCOMPARE(cad.Label1->text(), QString("Aluno: 1 de 3"));
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Next);
    QCOMPARE(cad.Label1->text(), QString("Aluno: 2 de 3"));
    QCOMPARE(cad.DBEdit1->text(), QString("BIA"));
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Insert);
    QCOMPARE(cad.Label1->text(), QString("Aluno: Novo"));
    QCOMPARE(cad.DBEdit2->text(), QString("1"));
    digitar(cad.DBEdit1, "davi");
    cad.DBNavigator1->clicar(TDBNavigator::Botao::Post);
    QCOMPARE(cad.Label1->text(), QString("Aluno: 4 de 4"));
}

// A student removed on another computer, whose pack waits while this one has the table open.
void TstAlunos::contagemSegueOutroComputador()
{
    for (const char* nome : {"ANA", "BIA", "CAIO", "DAVI", "EVA", "FABIO"}) amb_->aluno(nome);
    amb_->dm->TabAluno->last();
    TfCadastro cad;
    QCOMPARE(cad.Label1->text(), QString("Aluno: 6 de 6"));
    cad.timerOutros->setInterval(10);
    {
        xbase::Table outro;
        outro.open(amb_->dir.path().toStdString(), "Usuario.dbf");
        QVERIFY(outro.locate("NOME", "BIA"));
        outro.deleteRecord();
    }
    QTRY_COMPARE(cad.Label1->text(), QString("Aluno: 5 de 5"));
    QCOMPARE(cad.DBEdit1->text(), QString("FABIO"));
}

// ---- Removal -----------------------------------------------------------------------------

void TstAlunos::removerLevaSoResultadosDoAluno()
{
    amb_->aluno("ANA");
    amb_->aluno("ANAMARIA");
    amb_->aluno("BIA");
    amb_->resultado("ANA", 1);
    amb_->resultado("ANAMARIA", 1);
    amb_->resultado("ANA", 2);
    amb_->resultado("BIA", 1);
    amb_->resultado("ANA", 3);
    figurasDeTeclas(amb_->dir, "ANA");
    figurasDeTeclas(amb_->dir, "ANAMARIA");
    QVERIFY(!dominio::lerAjudas(amb_->dir.path().toStdString(), "ANA").falar);  // no table yet: aids off
    for (const char* nome : {"ANA", "ANAMARIA"})
        dominio::gravarAjudas(amb_->dir.path().toStdString(), nome, dominio::AjudasAluno{true});
    amb_->dm->TabAluno->first();

    TfCadastro cad;
    cad.b1->click();
    QCOMPARE(amb_->nomesNoArquivo("Ajudas.dbf"), (QStringList{"ANAMARIA"}));
    QCOMPARE(mensagens_, QStringList{"Remover aluno ANA"});
    QCOMPARE(amb_->nomesNoArquivo("Relat.dbf"), (QStringList{"ANAMARIA", "BIA"}));
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), (QStringList{"ANAMARIA", "BIA"}));
    QCOMPARE(amb_->nomesNoArquivo("Teclas.dbf"), (QStringList{"ANAMARIA"}));
    // Both files are packed: nothing marked deleted stays behind.
    QCOMPARE(amb_->registrosFisicos("Relat.dbf"), 2u);
    QCOMPARE(amb_->registrosFisicos("Usuario.dbf"), 2u);
    QVERIFY(amb_->dm->TabRelat->filter().isEmpty());
    QCOMPARE(amb_->dm->TabRelat->recordCount(), 2);
    QCOMPARE(cad.Label1->text(), QString("Aluno: 1 de 2"));
    QCOMPARE(cad.DBEdit1->text(), QString("ANAMARIA"));
}

void TstAlunos::removerRespondidoNao()
{
    amb_->aluno("ANA");
    amb_->resultado("ANA", 1);
    respostaSim_ = false;
    TfCadastro cad;
    cad.b1->click();
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{"ANA"});
    QCOMPARE(amb_->nomesNoArquivo("Relat.dbf"), QStringList{"ANA"});
}

void TstAlunos::removerUltimoAluno()
{
    TfCadastro cad;
    QVERIFY(!cad.b1->isEnabled());
    amb_->aluno("ANA");
    amb_->resultado("BIA", 1);
    QVERIFY(cad.b1->isEnabled());
    cad.b1->click();
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), QStringList{});
    QCOMPARE(amb_->nomesNoArquivo("Relat.dbf"), QStringList{"BIA"});
    QCOMPARE(amb_->registrosFisicos("Usuario.dbf"), 0u);
    QVERIFY(!cad.b1->isEnabled());
}


// Tab reaches every control as the window is laid out, each named for a screen reader, and a
// student is added with the keyboard alone: Enter on "Inserir", the name, Enter saves.
void TstAlunos::cadastroSoPeloTeclado()
{
    ui::instalarTeclasDeBotao();
    amb_->aluno("ANA");
    TfCadastro cad;
    cad.show();
    cad.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&cad));
    QWidget* inicio = cad.DBNavigator1->botao(TDBNavigator::Botao::First);
    inicio->setFocus();
    QStringList nomes;
    do {
        nomes << nomeLido(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != inicio && nomes.size() < 30);
    QCOMPARE(nomes, (QStringList{"Inicio", "Voltar", "Avançar", "Fim", "Inserir", "Editar", "Remover",
                                 "Nome do aluno", "Lição No.", "Tipo de lição:", "Nível do aluno:", "Turma",
                                 "Importar lista", "Ajuda", "Sair"}));

    cad.DBNavigator1->botao(TDBNavigator::Botao::Insert)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Insert);
    cad.DBEdit1->setFocus();
    digitar(cad.DBEdit1, "bia");
    QTest::keyClick(cad.DBEdit1, Qt::Key_Return);
    QCOMPARE(amb_->dm->TabAluno->state(), TApTable::State::Browse);
    QCOMPARE(amb_->nomesNoArquivo("Usuario.dbf"), (QStringList{"ANA", "BIA"}));
    QVERIFY(cad.isVisible());
}

QTEST_MAIN(TstAlunos)
#include "tst_alunos.moc"
