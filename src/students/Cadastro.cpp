#include "Cadastro.h"

#include "Fontes.h"
#include "data/Data1.h"
#include "domain/Cursos.h"
#include "domain/TabelasTurma.h"
#include "domain/ListaAlunos.h"
#include "platform/Ajuda.h"
#include "ui/Mensagens.h"
#include "ui/TDBComboBox.h"
#include "ui/TDBEdit.h"
#include "ui/TDataSource.h"
#include "ui/ValidadorTexto.h"
#include "ui/Acessibilidade.h"
#include "ui/Botoes.h"
#include "ui/DialogoArquivo.h"
#include "ImportarLista.h"
#include "Turma.h"

#include <QFrame>
#include <QKeyEvent>
#include <QToolButton>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

namespace {

const int kContextoAjuda = 5;
// The data module's name cache holds 31 names; a 32nd student cannot be checked.
const int kMaisAlunosQueCabem = 30;

QLabel* rotulo(const QString& texto, const QRect& onde, QWidget* pai)
{
    auto* l = new QLabel(texto, pai);
    l->setGeometry(onde);
    return l;
}

QStringList tiposDeLicao()
{
    QStringList nomes;
    for (const auto& t : dominio::tiposCurso()) nomes << QString::fromUtf8(t.nome);
    return nomes;
}

QStringList niveisDoAluno()
{
    QStringList nomes;
    for (const auto& n : dominio::niveis()) nomes << QString::fromStdString(n);
    return nomes;
}

} // namespace

QString maiusculas1252(const QString& texto)
{
    return QString::fromStdString(dominio::maiusculasCp1252(texto.toStdString()));
}

TfCadastro::TfCadastro(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Cadastro de alunos"));
    setFixedSize(466, 317);
    setFont(fonteEmPixels(QStringLiteral("Verdana"), 11));

    DataSource1 = new TDataSource(dm1->TabAluno, this);
    criarControles();
    criarBotoesTurma();
    ordenarTab();
    connect(DataSource1, &TDataSource::dataChange, this, &TfCadastro::DataSource1DataChange);
    connect(DBNavigator1, &TDBNavigator::click, this, &TfCadastro::DBNavigator1Click);
    // The students as the file holds them now, and from then on: other computers of a lab
    // may change them while the window is open.
    if (dm1->TabAluno->active()) ui::protegido(this, [] { dm1->TabAluno->readFresh(); });
    DataSource1DataChange();
    timerOutros = new QTimer(this);
    timerOutros->setInterval(2000);
    connect(timerOutros, &QTimer::timeout, this, &TfCadastro::seguirOutrosComputadores);
    timerOutros->start();
}

void TfCadastro::seguirOutrosComputadores()
{
    TApTable* t = dm1->TabAluno;
    if (!t->active() || t->editing()) return;
    try {
        t->readFresh();
    } catch (const xbase::Error&) {
        // Read again at the next tick; the window says nothing while no one asked for anything.
    }
}

void TfCadastro::criarControles()
{
    Image1 = ui::figuraEmMoldura(this, QRect(8, 8, 121, 241), QStringLiteral(":/imagens/cadastro.png"), &Panel4);

    using B = TDBNavigator::Botao;
    DBNavigator1 = new TDBNavigator(this);
    DBNavigator1->setGeometry(144, 10, 196, 30);
    DBNavigator1->setBotoes({B::First, B::Prior, B::Next, B::Last, B::Insert, B::Edit, B::Post},
                            {QStringLiteral("Inicio"), QStringLiteral("Voltar"), QStringLiteral("Avançar"),
                             QStringLiteral("Fim"), QStringLiteral("Inserir"), QStringLiteral("Editar"),
                             QStringLiteral("Salvar")});
    DBNavigator1->setDataSource(DataSource1);

    b1 = new QPushButton(QIcon(QStringLiteral(":/imagens/remover.png")), QStringLiteral("Remover"), this);
    b1->setGeometry(358, 9, 100, 32);
    b1->setToolTip(QStringLiteral("Remover o aluno"));
    b1->setFocusPolicy(Qt::TabFocus);
    b1->setAutoDefault(false);
    connect(b1, &QPushButton::clicked, this, &TfCadastro::b1Click);

    Label4 = rotulo(QStringLiteral("Nome do aluno:"), QRect(144, 56, 200, 16), this);
    DBEdit1 = new TDBEdit(this);
    DBEdit1->setGeometry(144, 74, 314, 24);
    DBEdit1->setMaxLength(20);
    DBEdit1->setValidator(new ValidadorTexto(QStringLiteral("\""), DBEdit1));
    // Capitals only where Windows-1252 has them, and a refused quote says why.
    connect(DBEdit1, &QLineEdit::textEdited, this, [this](const QString& texto) {
        const QString maior = maiusculas1252(texto);
        if (maior == texto) return;
        const int pos = DBEdit1->cursorPosition();
        DBEdit1->setText(maior);
        DBEdit1->setCursorPosition(pos);
    });
    connect(DBEdit1, &QLineEdit::inputRejected, this, [this] {
        QToolTip::showText(DBEdit1->mapToGlobal(QPoint(0, DBEdit1->height())),
                           QStringLiteral("O nome do aluno não pode conter aspas (\")."), DBEdit1);
    });
    DBEdit1->setDataSource(DataSource1);
    DBEdit1->setDataField(QStringLiteral("NOME"));

    Label6 = rotulo(QStringLiteral("Lição No."), QRect(144, 110, 120, 16), this);
    DBEdit2 = new TDBEdit(this);
    DBEdit2->setGeometry(144, 128, 80, 24);
    DBEdit2->setMaxLength(5);
    DBEdit2->setValidator(new ValidadorInteiro(DBEdit2));
    DBEdit2->setDataSource(DataSource1);
    DBEdit2->setDataField(QStringLiteral("LICAO"));

    Label8 = rotulo(QStringLiteral("Tipo de lição:"), QRect(144, 164, 150, 16), this);
    DBComboBox1 = new TDBComboBox(this);
    DBComboBox1->setGeometry(144, 182, 150, 24);
    DBComboBox1->setEscolhas(tiposDeLicao());
    DBComboBox1->setDataSource(DataSource1);
    DBComboBox1->setDataField(QStringLiteral("TIPO"));

    Label9 = rotulo(QStringLiteral("Nível do aluno:"), QRect(308, 164, 150, 16), this);
    DBComboBox2 = new TDBComboBox(this);
    DBComboBox2->setGeometry(308, 182, 150, 24);
    DBComboBox2->setEscolhas(niveisDoAluno());
    DBComboBox2->setDataSource(DataSource1);
    DBComboBox2->setDataField(QStringLiteral("NIVEL"));

    Label1 = rotulo(QStringLiteral("Aluno: 1 de 1"), QRect(144, 226, 314, 18), this);

    ui::linhaHorizontal(this, QRect(8, 258, 450, 2));
    BitBtn3 = ui::botaoAjuda(this, QRect(272, 272, 88, 32));
    connect(BitBtn3, &QPushButton::clicked, this, &TfCadastro::BitBtn3Click);
    BitBtn1 = ui::botaoSair(this, QRect(370, 272, 88, 32), this);

    ui::rotular(Label4, DBEdit1);
    ui::rotular(Label6, DBEdit2);
    ui::rotular(Label8, DBComboBox1);
    ui::rotular(Label9, DBComboBox2);
    DBEdit1->setFocus();
}

namespace {

int posicaoEntreOsAlunos(TApTable& t)
{
    int posicao = 0;
    for (const auto& registro : t.engine().storedTexts(0))
        if (int(registro.first) <= t.recNo()) ++posicao;
    return posicao;
}

} // namespace

// Tab goes as the window is laid out: the bar at the top, the fields, the buttons at the foot.
void TfCadastro::ordenarTab()
{
    using B = TDBNavigator::Botao;
    QList<QWidget*> ordem;
    for (B b : {B::First, B::Prior, B::Next, B::Last, B::Insert, B::Edit, B::Post}) ordem << DBNavigator1->botao(b);
    ordem << b1 << DBEdit1 << DBEdit2 << DBComboBox1 << DBComboBox2 << bTurma << bImportar << BitBtn3 << BitBtn1;
    for (int i = 1; i < ordem.size(); ++i) setTabOrder(ordem[i - 1], ordem[i]);
}

// Enter in a field saves the student being typed, as "Salvar" does.
void TfCadastro::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && DataSource1->editando()) {
        DBNavigator1->clicar(TDBNavigator::Botao::Post);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfCadastro::DataSource1DataChange()
{
    TApTable* t = dm1->TabAluno;
    if (!t->active() || t->recordCount() < 1) {
        b1->setEnabled(false);
        return;
    }
    b1->setEnabled(true);
    // A new record has no number yet; the display keeps what it showed. The place counts the
    // students only: rows another computer removed stay in the file until a pack.
    if (t->recNo() > 0)
        Label1->setText(QStringLiteral("Aluno: %1 de %2").arg(posicaoEntreOsAlunos(*t)).arg(t->recordCount()));
}

void TfCadastro::DBNavigator1Click(TDBNavigator::Botao botao)
{
    if (botao != TDBNavigator::Botao::Insert) return;
    TApTable* t = dm1->TabAluno;
    if (t->recordCount() > kMaisAlunosQueCabem) {
        ui::aviso(this, QStringLiteral("Limite máximo de alunos atingidos! Remova um dos alunos cadastrados e tente novamente!"));
        ui::protegido(this, [t] { t->cancel(); });
        return;
    }
    Label1->setText(QStringLiteral("Aluno: Novo"));
}

void TfCadastro::b1Click()
{
    ui::protegido(this, [this] { removerAluno(); });
}

void TfCadastro::removerAluno()
{
    // Whatever is pending is settled first, so the question names the student in the file.
    if (!DataSource1->checkBrowseMode()) return;
    TApTable* aluno = dm1->TabAluno;
    aluno->readFresh();  // another computer may have renamed or removed the student
    if (aluno->isEmpty()) return;
    const QString nome = aluno->fieldByName(QStringLiteral("Nome")).asString();
    if (!ui::pergunta(this, QStringLiteral("Remover aluno ") + nome)) return;

    // With other computers on the tables, the packs wait for a moment when they are alone.
    dominio::removerAluno(aluno->engine(), dm1->TabRelat->engine(), aluno->databaseName().toStdString());
    dm1->TabRelat->first();
    aluno->first();
}

void TfCadastro::BitBtn3Click()
{
    plataforma::mostrarAjuda(kContextoAjuda, this);
}

void TfCadastro::done(int resultado)
{
    bool pode = false;  // a refusal or a failure thrown out of the post keeps the change open
    ui::protegido(this, [&] { pode = DataSource1->checkBrowseMode(); });
    // A change that cannot be saved (a repeated name, a full disk) may be dropped instead of
    // keeping the user in the window.
    if (!pode && ui::pergunta(this, QStringLiteral("A alteração não pôde ser salva. Descartá-la e sair?"))) {
        ui::protegido(this, [] { dm1->TabAluno->cancel(); });
        pode = true;
    }
    if (pode) QDialog::done(resultado);
}

void abrirCadastro(QWidget* pai)
{
    TfCadastro janela(pai);
    janela.exec();
}

// ---- The teacher's class ----------------------------------------------------------------

void TfCadastro::criarBotoesTurma()
{
    bTurma = ui::botao(this, QStringLiteral("&Turma"), QString(), QRect(8, 272, 80, 32));
    bTurma->setToolTip(QStringLiteral("Ver a turma toda: lição, médias e aprovação de cada aluno"));
    bImportar = ui::botao(this, QStringLiteral("&Importar lista"), QString(), QRect(94, 272, 112, 32));
    bImportar->setToolTip(QStringLiteral("Cadastrar os alunos de um arquivo de texto ou CSV"));
    connect(bTurma, &QPushButton::clicked, this, &TfCadastro::bTurmaClick);
    connect(bImportar, &QPushButton::clicked, this, &TfCadastro::bImportarClick);
}

void TfCadastro::bTurmaClick()
{
    // A pending change is settled first, so the class view shows what the file holds.
    bool pode = false;  // a refusal or a failure thrown out of the post keeps the change open
    ui::protegido(this, [&] { pode = DataSource1->checkBrowseMode(); });
    if (pode) abrirTurma(this);
}

void TfCadastro::bImportarClick()
{
    bool pode = false;  // a refusal or a failure thrown out of the post keeps the change open
    ui::protegido(this, [&] { pode = DataSource1->checkBrowseMode(); });
    if (!pode) return;
    const QString arquivo = ui::escolherArquivo(ui::criarDialogoArquivo(
        this, QFileDialog::AcceptOpen, QStringLiteral("Importar lista de alunos"),
        {QStringLiteral("Listas de alunos (*.txt *.csv)"), QStringLiteral("Todos os arquivos (*)")}));
    if (arquivo.isEmpty()) return;
    mostrarResumo(this, importarLista(arquivo));
    DataSource1DataChange();
}
