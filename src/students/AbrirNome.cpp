#include "AbrirNome.h"
#include "ui/Acessibilidade.h"

#include "Fontes.h"
#include "data/Data1.h"
#include "platform/Voz.h"
#include "ui/Mensagens.h"
#include "ui/TDBLookupComboBox.h"
#include "ui/TDataSource.h"

#include <QLabel>
#include <QPushButton>

TFAbrir* FAbrir = nullptr;

TFAbrir::TFAbrir(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Abrir"));
    setFixedSize(287, 136);
    setFont(fonteEmPixels(QStringLiteral("Verdana"), 11));

    DataSource1 = new TDataSource(dm1 ? dm1->TabAluno : nullptr, this);

    Label1 = new QLabel(QStringLiteral("Selecione o nome do aluno:"), this);
    Label1->setGeometry(27, 18, 233, 18);

    dl1 = new TDBLookupComboBox(this);
    ui::rotular(Label1, dl1);
    dl1->setGeometry(27, 40, 233, 24);
    dl1->setListSource(DataSource1);
    dl1->setKeyField(QStringLiteral("Nome"));
    dl1->setListField(QStringLiteral("NOME"));

    b1 = new QPushButton(QIcon(QStringLiteral(":/imagens/ok16.png")), QStringLiteral("&OK"), this);
    b1->setGeometry(48, 88, 88, 30);
    b1->setDefault(true);
    connect(b1, &QPushButton::clicked, this, &QDialog::accept);

    BitBtn2 = new QPushButton(QStringLiteral("&Cancelar"), this);
    BitBtn2->setGeometry(151, 88, 88, 30);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(dl1, b1);
    setTabOrder(b1, BitBtn2);

    // With the voice on, the window says its title and the name shown when it opens (its
    // description), and each name the arrows move to.
    connect(dl1, &QComboBox::currentTextChanged, this, [this](const QString& nome) {
        descreverNome();
        if (isVisible()) plataforma::dizer(nome);  // the list is loaded with its signals held
    });
}

void TFAbrir::descreverNome()
{
    const QString nome = dl1->currentText();
    setAccessibleDescription(nome.isEmpty() ? Label1->text() : Label1->text() + QLatin1Char(' ') + nome);
}

void TFAbrir::setVisible(bool visivel)
{
    // The list is read before the window says what it shows.
    if (visivel) {
        dl1->recarregar();
        descreverNome();
    }
    QDialog::setVisible(visivel);
}

void TFAbrir::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    dl1->setFocus();
}

namespace {

// Puts the students table on the first record with that name. False when there is none
// (the student was removed after the name was picked).
bool posicionarAluno(QWidget* pai, const QString& nome)
{
    bool achou = false;
    ui::protegido(pai, [&] {
        TApTable* t = dm1->TabAluno;
        if (t->editing() && !t->post()) return;
        achou = t->locate(QStringLiteral("Nome"), nome);
    });
    return achou;
}

} // namespace

ResultadoAbertura fluxoAbertura(QWidget* menu, TFAbrir* abrir, const std::function<void()>& abrirCadastro)
{
    // The students as the file holds them now: other computers may have added or removed some.
    if (dm1->TabAluno->active()) ui::protegido(menu, [] { dm1->TabAluno->readFresh(); });
    if (dm1->TabAluno->recordCount() > 0) {
        if (abrir->exec() != QDialog::Accepted) return ResultadoAbertura::Cancelado;
        // Another window may have moved the table since the name was picked.
        const QString nome = abrir->dl1->keyValue();
        if (nome.isEmpty() || !posicionarAluno(menu, nome)) {
            ui::aviso(menu, QStringLiteral("Nome do aluno inválido!"));
            return ResultadoAbertura::Cancelado;
        }
        return ResultadoAbertura::AbrirPratica;
    }
    if (ui::pergunta(menu, QStringLiteral("Não possui nenhum nome cadastrado! Deseja cadastrar agora?")))
        abrirCadastro();
    return ResultadoAbertura::Cancelado;
}
