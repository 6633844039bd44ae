#include "Config.h"

#include "Fontes.h"
#include "data/Data1.h"
#include "data/Gravacao.h"
#include "domain/AjudasAluno.h"
#include "platform/Ajuda.h"
#include "platform/TamanhoDaTela.h"
#include "platform/Voz.h"
#include "ui/Acessibilidade.h"
#include "ui/Botoes.h"
#include "ui/Cores.h"
#include "ui/Escala.h"
#include "ui/Mensagens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace {

const int kContextoAjuda = 8;

} // namespace

TfConfig::TfConfig(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Configurações"));
    setFixedSize(536, 567);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(admin::fontePixels(QStringLiteral("Arial"), 13));
    criarControles();
    ui::caberNaTela(this);
}

void TfConfig::criarControles()
{
    Image1 = ui::figuraEmMoldura(this, QRect(8, 8, 121, 423), QStringLiteral(":/imagens/config.png"), &Panel4);

    GroupBox2 = new QGroupBox(QStringLiteral("Teclado"), this);
    GroupBox2->setGeometry(144, 8, 384, 128);
    RadioButton1 = new QRadioButton(QStringLiteral("ABNT2 - com \"ç\""), GroupBox2);
    RadioButton1->setGeometry(20, 42, 344, 24);
    RadioButton2 = new QRadioButton(QStringLiteral("ABNT - sem \"ç\" "), GroupBox2);
    RadioButton2->setGeometry(20, 80, 344, 24);
    RadioButton1->setChecked(true);

    GroupBox3 = new QGroupBox(QStringLiteral("Opções"), this);
    GroupBox3->setGeometry(144, 148, 384, 128);
    // Both switches start on with the form's captions; only a change of state renames them.
    CheckBox1 = new QCheckBox(QStringLiteral("Música - Ligado"), GroupBox3);
    CheckBox1->setGeometry(20, 42, 344, 24);
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(QStringLiteral("Som - Ligado"), GroupBox3);
    CheckBox2->setGeometry(20, 80, 344, 24);
    CheckBox2->setChecked(true);
    connect(CheckBox1, &QCheckBox::toggled, this, &TfConfig::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TfConfig::CheckBox2Click);

    criarAjudas();

    ui::linhaHorizontal(this, QRect(144, 512, 384, 4));
    BitBtn3 = ui::botaoAjuda(this, QRect(340, 527, 88, 32));
    connect(BitBtn3, &QPushButton::clicked, this, &TfConfig::BitBtn3Click);
    BitBtn1 = ui::botaoSair(this, QRect(440, 527, 88, 32), this);
}

void TfConfig::criarAjudas()
{
    TApTable* alunos = dm1->TabAluno;
    if (alunos->active() && !alunos->isEmpty()) aluno_ = alunos->fieldByName(QStringLiteral("Nome")).asString();
    GroupBox4 = new QGroupBox(aluno_.isEmpty() ? QStringLiteral("Ajudas do aluno")
                                               : QStringLiteral("Ajudas do aluno ") + aluno_, this);
    GroupBox4->setGeometry(144, 284, 384, 220);
    cbFalar = new QCheckBox(QStringLiteral("Falar (o Tarvex lê as lições em voz alta)"), GroupBox4);
    cbFalar->setGeometry(20, 24, 344, 24);
    cbContraste = new QCheckBox(QStringLiteral("Alto contraste (letras claras sobre o preto)"), GroupBox4);
    cbContraste->setGeometry(20, 50, 344, 24);
    lTamanho = new QLabel(QStringLiteral("Tamanho do texto:"), GroupBox4);
    lTamanho->setGeometry(20, 80, 130, 24);
    cbTamanho = new QComboBox(GroupBox4);
    cbTamanho->setGeometry(156, 78, 100, 26);
    for (int p : dominio::kTamanhosTexto) cbTamanho->addItem(QStringLiteral("%1 %").arg(p), p);
    ui::rotular(lTamanho, cbTamanho);
    cbDislexia = new QCheckBox(QStringLiteral("Letra para dislexia (OpenDyslexic)"), GroupBox4);
    cbDislexia->setGeometry(20, 108, 344, 24);
    lSemVoz = new QLabel(GroupBox4);
    lSemVoz->setGeometry(20, 134, 352, 36);
    lSemVoz->setWordWrap(true);
    lAvisoAjudas = new QLabel(GroupBox4);
    lAvisoAjudas->setGeometry(20, 170, 352, 46);
    lAvisoAjudas->setWordWrap(true);
    if (aluno_.isEmpty()) {
        for (QWidget* w : {static_cast<QWidget*>(cbFalar), static_cast<QWidget*>(cbContraste),
                           static_cast<QWidget*>(cbTamanho), static_cast<QWidget*>(cbDislexia)})
            w->setEnabled(false);
        lSemVoz->setText(QStringLiteral("Cadastre um aluno para escolher as ajudas dele."));
        return;
    }
    const dominio::AjudasAluno ajudas =
        dominio::lerAjudas(alunos->databaseName().toStdString(), aluno_.toStdString());
    cbFalar->setChecked(ajudas.falar);
    cbContraste->setChecked(ajudas.altoContraste);
    cbTamanho->setCurrentIndex(cbTamanho->findData(ajudas.tamanhoTexto));
    cbDislexia->setChecked(ajudas.fonteDislexia);
    // Without the font the switch cannot be turned on; a choice made elsewhere stays stored.
    cbDislexia->setEnabled(!ui::familiaDislexia().isEmpty());
    connect(cbFalar, &QCheckBox::toggled, this, &TfConfig::mostrarMotivoSemVoz);
    mostrarAvisoAjudas();
}

// When the size takes effect, and why the font cannot be chosen here.
void TfConfig::mostrarAvisoAjudas()
{
    QStringList aviso;
    aviso << QStringLiteral("O tamanho vale já para o texto da lição; o de todas as janelas muda na próxima vez "
                            "que o Tarvex for aberto neste computador.");
    if (ui::familiaDislexia().isEmpty())
        aviso << QStringLiteral("A letra para dislexia não está instalada neste computador (pacote fonts-opendyslexic).");
    lAvisoAjudas->setText(aviso.join(QLatin1Char(' ')));
}

// Asked only when the voice is wanted: the first question loads and starts the speech service.
void TfConfig::mostrarMotivoSemVoz()
{
    const bool semVoz = cbFalar->isChecked() && !plataforma::voz().disponivel();
    lSemVoz->setText(semVoz ? QStringLiteral("Sem voz: ") + plataforma::voz().motivo() : QString());
}

void TfConfig::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (mostrado_) return;
    mostrado_ = true;
    FormShow();
}

void TfConfig::FormShow()
{
    if (dm1->Abnt2Keyboard) RadioButton1->setChecked(true);
    else RadioButton2->setChecked(true);
    CheckBox1->setChecked(dm1->MusicOn);
    CheckBox2->setChecked(dm1->SoundOn);
    if (cbFalar->isChecked()) mostrarMotivoSemVoz();
}

void TfConfig::CheckBox1Click()
{
    CheckBox1->setText(CheckBox1->isChecked() ? QStringLiteral("Música - ligada") : QStringLiteral("Música - desligada"));
}

void TfConfig::CheckBox2Click()
{
    CheckBox2->setText(CheckBox2->isChecked() ? QStringLiteral("Som - ligada") : QStringLiteral("Som - desligada"));
}

void TfConfig::BitBtn3Click()
{
    plataforma::mostrarAjuda(kContextoAjuda, this);
}

void TfConfig::done(int resultado)
{
    if (!fechado_) FormClose();
    QDialog::done(resultado);
}

void TfConfig::gravarAjudas()
{
    if (aluno_.isEmpty()) return;
    ui::protegido(this, [this] {
        dominio::AjudasAluno ajudas;
        ajudas.falar = cbFalar->isChecked();
        ajudas.altoContraste = cbContraste->isChecked();
        ajudas.tamanhoTexto = cbTamanho->currentData().toInt();
        ajudas.fonteDislexia = cbDislexia->isChecked();
        dominio::gravarAjudas(dm1->TabAluno->databaseName().toStdString(), aluno_.toStdString(), ajudas);
        plataforma::ligarFala(ajudas.falar);
        ui::usarAltoContraste(ajudas.altoContraste);
        plataforma::TamanhoDaTela().gravar(ajudas.tamanhoTexto);
    });
}

void TfConfig::FormClose()
{
    fechado_ = true;
    gravarAjudas();
    // Always saved, changed or not: the table and the data module end up holding the same values.
    // The data module takes the values only once they are stored: a failed write leaves the
    // settings as the table holds them, and nothing half-edited.
    ui::protegido(this, [this] {
        const bool abnt2 = RadioButton1->isChecked(), musica = CheckBox1->isChecked(), som = CheckBox2->isChecked();
        TApTable* config = dm1->TabConfig;
        Gravacao gravacao(config, Gravacao::Modo::Editar);
        config->fieldByName(QStringLiteral("ABNT2")).setAsBoolean(abnt2);
        config->fieldByName(QStringLiteral("Musica")).setAsBoolean(musica);
        config->fieldByName(QStringLiteral("Som")).setAsBoolean(som);
        if (!gravacao.gravar()) return;
        dm1->MusicOn = musica;
        dm1->SoundOn = som;
        dm1->Abnt2Keyboard = abnt2;
    });
}
