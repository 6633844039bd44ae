#include "Editor.h"
#include "ui/Acessibilidade.h"
#include "ui/Cores.h"

#include "Fontes.h"
#include "data/Data1.h"
#include "domain/Cursos.h"
#include "domain/Linhas.h"
#include "platform/Ajuda.h"
#include "platform/Diretorios.h"
#include "ui/Mensagens.h"
#include "ui/TDBMemo.h"
#include "ui/TDBNavigator.h"
#include "ui/TDataSource.h"
#include "ui/TStatusBar.h"
#include "xbase/Codepage.h"
#include "ui/Botoes.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QtMath>
#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

const int kContextoAjuda = 7;
const int kLargura = 585;
const int kAltura = 340;

// The characters of a text that Windows-1252 has no byte for, each once, at most a few.
QString caracteresRecusados(const QString& texto)
{
    QString recusados;
    int achados = 0;
    for (char32_t c : texto.toUcs4()) {
        const QString um = QString::fromUcs4(&c, 1);
        if (xbase::isRepresentable(um.toStdString()) || recusados.contains(um)) continue;
        if (++achados > 8) return recusados + QStringLiteral(" …");
        if (!recusados.isEmpty()) recusados += QLatin1Char(' ');
        recusados += um;
    }
    return recusados;
}

// Wide enough for exactly one typing line of the practice window and not a column more, so
// the memo wraps its text into the lines the student types (the font is fixed-pitch).
int larguraDoMemo(TDBMemo* memo)
{
    memo->document()->setDocumentMargin(2);
    const qreal coluna = QFontMetricsF(memo->font()).horizontalAdvance(QLatin1Char('x'));
    const qreal texto = coluna * (qreal(dominio::kLarguraLinha) + 0.5) + 2 * memo->document()->documentMargin();
    return qCeil(texto) + 2 * memo->frameWidth() + memo->verticalScrollBar()->sizeHint().width();
}

} // namespace

TfEditor::TfEditor(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Editor de lições"));
    setFixedSize(kLargura, kAltura);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(admin::fontePixels(QStringLiteral("Arial"), 12));

    DataSource1 = new TDataSource(dm1->TabLicao, this);
    criarControles();
    connect(DataSource1, &TDataSource::dataChange, this, &TfEditor::DataSource1DataChange);
    connect(DBMemo1, &TDBMemo::change, this, &TfEditor::DBMemo1Change);
    connect(cb1, qOverload<int>(&QComboBox::currentIndexChanged), this, &TfEditor::cb1Change);
}

TfEditor::~TfEditor()
{
    // A window destroyed without being closed still gives its table back.
    if (!fechado_ && dm1) FormClose();
}

void TfEditor::criarControles()
{
    criarPainel();

    Label1 = new QLabel(QStringLiteral("Tipo de lição:"), this);
    Label1->setFont(admin::fontePixels(QStringLiteral("Arial"), 11));
    Label1->setGeometry(8, 52, 84, 16);

    cb1 = new QComboBox(this);
    ui::rotular(Label1, cb1);
    cb1->setFont(admin::fontePixels(QStringLiteral("Arial"), 11));
    if (!ui::cores().altoContraste) {  // navy on the black of high contrast would not read
        QPalette pc = cb1->palette();
        pc.setColor(QPalette::Text, admin::kMarinho);
        pc.setColor(QPalette::ButtonText, admin::kMarinho);
        cb1->setPalette(pc);
    }
    cb1->setToolTip(QStringLiteral("Tipo de lição"));
    for (const auto& tipo : dominio::tiposCurso()) cb1->addItem(QString::fromUtf8(tipo.nome));
    cb1->setGeometry(96, 48, 150, 24);

    DBMemo1 = new TDBMemo(this);
    ui::nomear(DBMemo1, QStringLiteral("Texto da lição"));
    const int larguraMemo = larguraDoMemo(DBMemo1);
    DBMemo1->setGeometry(qMax(0, (kLargura - larguraMemo) / 2), 80, larguraMemo, 219);
    // A word wider than the line is broken, as the typing lines break it.
    DBMemo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    DBMemo1->setDataSource(DataSource1);
    DBMemo1->setDataField(QStringLiteral("TEXTO"));
    DBMemo1->installEventFilter(this);

    sb1 = new TStatusBar(this);
    sb1->setPaineis({100, 80, 150, 100, 50});
    const int alturaBarra = sb1->sizeHint().height();
    sb1->setGeometry(0, kAltura - alturaBarra, kLargura, alturaBarra);
    const QStringList iniciais = {QStringLiteral("Lição:"), QStringLiteral("Linha:"),
                                  QStringLiteral("Tipo:"), QStringLiteral("Teclado:"), QString()};
    for (int i = 0; i < iniciais.size(); ++i) sb1->setTextoPainel(i, iniciais.at(i));

    setTabOrder(cb1, DBMemo1);
    DBMemo1->setFocus();
}

void TfEditor::criarPainel()
{
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, 0, kLargura, 41);

    using B = TDBNavigator::Botao;
    DBNavigator1 = new TDBNavigator(Panel1);
    DBNavigator1->setGeometry(6, 5, 192, 31);
    DBNavigator1->setBotoes({B::First, B::Prior, B::Next, B::Last, B::Post, B::Cancel},
                            {QStringLiteral("Primeiro"), QStringLiteral("Voltar"), QStringLiteral("Avançar"),
                             QStringLiteral("Último"), QStringLiteral("Salvar as alterações"),
                             QStringLiteral("Cancelas as alterações")});
    DBNavigator1->setDataSource(DataSource1);
    // Every button that writes the text is checked before it acts.
    for (B b : {B::First, B::Prior, B::Next, B::Last, B::Post}) {
        DBNavigator1->botao(b)->installEventFilter(this);
        botoesQueGravam_ << DBNavigator1->botao(b);
    }

    BitBtn2 = ui::botaoAjuda(Panel1, QRect(kLargura - 190, 5, 88, 31));
    connect(BitBtn2, &QPushButton::clicked, this, &TfEditor::BitBtn2Click);
    BitBtn1 = ui::botaoSair(Panel1, QRect(kLargura - 96, 5, 88, 31), this);
}

void TfEditor::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (mostrado_) return;
    mostrado_ = true;
    ui::protegido(this, [this] { FormShow(); });
}

void TfEditor::FormShow()
{
    TApTable* t = dm1->TabLicao;
    if (t->active()) t->close();
    t->setDatabaseName(plataforma::diretorioTrabalho());
    t->setTableName(dm1->Abnt2Keyboard ? QStringLiteral("LicaoB.dbf") : QStringLiteral("LicaoA.dbf"));
    t->setIndexName(QStringLiteral("TIPO"));
    sb1->setTextoPainel(3, dm1->Abnt2Keyboard ? QStringLiteral("Teclado: ABNT2") : QStringLiteral("Teclado: ABNT"));
    t->open();

    tipoAtual_ = 0;
    {
        const QSignalBlocker bloqueio(cb1);
        cb1->setCurrentIndex(0);
    }
    MostrarTipo(cb1->itemText(0));
}

void TfEditor::MostrarTipo(const QString& tipo)
{
    sb1->setTextoPainel(2, QStringLiteral("Tipo: ") + tipo);
    TApTable* t = dm1->TabLicao;
    if (!t->active()) return;
    // The tag's key begins with the type, so this range holds exactly that type's lessons.
    t->setRange(tipo, tipo);
    t->first();
    DataSource1DataChange();
    DBMemo1Change();
}

void TfEditor::cb1Change(int indice)
{
    if (indice == tipoAtual_) return;
    // Another type is a move like any other: what was typed is saved first.
    bool salvo = false;
    if (TextoGravavel()) ui::protegido(this, [&] { salvo = DataSource1->checkBrowseMode(); });
    if (!salvo) {
        const QSignalBlocker bloqueio(cb1);
        cb1->setCurrentIndex(tipoAtual_);
        return;
    }
    tipoAtual_ = indice;
    ui::protegido(this, [&] { MostrarTipo(cb1->itemText(indice)); });
}

void TfEditor::DataSource1DataChange()
{
    TApTable* t = dm1->TabLicao;
    if (!t->active()) return;
    QString licao;
    int total = 0;
    bool vazio = true;
    try {
        vazio = t->isEmpty();
        total = t->recordCount();
        if (!vazio) licao = t->fields(1).asString().trimmed();
    } catch (const std::exception&) {
        // The panel keeps its last text; the failing operation reports the error itself.
        return;
    }
    // Typing into an empty type would start a new lesson, and lessons are not added here.
    DBMemo1->setReadOnly(vazio);
    sb1->setTextoPainel(0, QStringLiteral("Lição: ") + licao + QStringLiteral(" de ") + QString::number(total));
}

void TfEditor::DBMemo1Change()
{
    const std::string texto = DBMemo1->toPlainText().toStdString();
    const auto linhas = dominio::dividirLinhas(texto);
    sb1->setTextoPainel(1, QStringLiteral("Linhas: ") + QString::number(linhas.size()));
}

bool TfEditor::TextoGravavel()
{
    const QString recusados = caracteresRecusados(DBMemo1->toPlainText());
    if (recusados.isEmpty()) return true;
    ui::aviso(this, QStringLiteral("O texto da lição tem caracteres que não podem ser gravados: ") + recusados +
                        QStringLiteral("\nTroque ou apague esses caracteres antes de salvar."));
    return false;
}

bool TfEditor::eventFilter(QObject* objeto, QEvent* e)
{
    // The memo writes its text into the record when it loses the focus; a text the table
    // cannot hold would be thrown away there, so it stays in the memo until corrected.
    if (objeto == DBMemo1 && e->type() == QEvent::FocusOut)
        return !xbase::isRepresentable(DBMemo1->toPlainText().toStdString());
    const bool clique = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick;
    if (clique && botoesQueGravam_.contains(objeto)) return !TextoGravavel();
    return QDialog::eventFilter(objeto, e);
}

void TfEditor::BitBtn2Click()
{
    plataforma::mostrarAjuda(kContextoAjuda, this);
}

void TfEditor::done(int resultado)
{
    if (!fechado_) FormClose();
    QDialog::done(resultado);
}

void TfEditor::FormClose()
{
    fechado_ = true;
    // Closing never saves: a change not yet saved is dropped.
    TApTable* t = dm1->TabLicao;
    ui::protegido(this, [t] {
        if (t->active() && t->editing()) t->cancel();
        t->close();
    });
}
