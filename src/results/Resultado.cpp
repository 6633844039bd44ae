#include "Resultado.h"

#include "domain/Cursos.h"
#include "ui/Cores.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* rotulo(QWidget* pai, const QString& texto, int x, int y, int px = 13)
{
    auto* l = new QLabel(texto, pai);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(ui::cores().textoResultado.name()));
    l->move(x, y);
    l->resize(220, px + 6);
    return l;
}

QLabel* marca(QWidget* pai, const QString& figura, int x, int y, int lado)
{
    auto* m = new QLabel(pai);
    m->setGeometry(x, y, lado, lado);
    m->setScaledContents(true);
    m->setPixmap(QPixmap(figura));
    m->setStyleSheet(QStringLiteral("background: transparent;"));
    m->hide();
    return m;
}

} // namespace

TfResultado::TfResultado(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Resultado"));
    setFixedSize(349, 244);
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet(QStringLiteral("TfResultado { background: %1; }").arg(ui::cores().fundoResultado.name()));

    // The notepad's paper under the texts; in high contrast the texts stand on black instead.
    Image1 = new QLabel(this);
    Image1->setGeometry(1, 1, 347, 243);
    if (!ui::cores().altoContraste) Image1->setPixmap(QPixmap(QStringLiteral(":/imagens/bloco.png")));

    Label6 = rotulo(this, QStringLiteral("Resultado da lição"), 104, 8, 19);
    QFont titulo = Label6->font();
    titulo.setUnderline(true);
    Label6->setFont(titulo);

    Label7 = rotulo(this, QStringLiteral("Lição:"), 56, 56);
    Label8 = rotulo(this, QStringLiteral("Velocidade:"), 56, 86);
    Label9 = rotulo(this, QStringLiteral("Precisão:"), 56, 114);
    Label10 = rotulo(this, QStringLiteral("Duração:"), 56, 140);
    LabelX = rotulo(this, QStringLiteral("Resultado:"), 56, 182);
    for (QLabel* l : {Label7, Label8, Label9, Label10, LabelX}) l->resize(70, l->height());

    Label1 = rotulo(this, QString(), 96, 56);
    Label2 = rotulo(this, QString(), 128, 86);
    Label3 = rotulo(this, QString(), 128, 114);
    Label4 = rotulo(this, QString(), 128, 140);
    Label5 = rotulo(this, QString(), 128, 182);

    Iv1 = marca(this, QStringLiteral(":/imagens/errado.png"), 32, 86, 18);
    Iv2 = marca(this, QStringLiteral(":/imagens/certo.png"), 32, 86, 18);
    Ip1 = marca(this, QStringLiteral(":/imagens/errado.png"), 32, 114, 18);
    Ip2 = marca(this, QStringLiteral(":/imagens/certo.png"), 32, 114, 18);
    Ir1 = marca(this, QStringLiteral(":/imagens/triste.png"), 30, 178, 25);
    Ir2 = marca(this, QStringLiteral(":/imagens/feliz.png"), 30, 178, 25);

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/imagens/ok16.png")), QStringLiteral("Sair"), this);
    BitBtn1->setGeometry(262, 210, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TfResultado::Sp1Click);
}

void TfResultado::preencher(int licao, int velocidade, int precisao, const QString& duracao,
                            const QString& resultado, bool velocidadeAtingida, bool precisaoAtingida)
{
    Label1->setText(QString::number(licao));
    Label2->setText(QString::number(velocidade) + QStringLiteral(" teclas/minuto"));
    Label3->setText(QString::number(precisao) + QStringLiteral(" %"));
    Label4->setText(duracao);
    Label5->setText(resultado);
    Iv2->setVisible(velocidadeAtingida);
    Iv1->setVisible(!velocidadeAtingida);
    Ip2->setVisible(precisaoAtingida);
    Ip1->setVisible(!precisaoAtingida);
    const bool aprovado = Label5->text() == QString::fromUtf8(dominio::kAprovado);
    Ir2->setVisible(aprovado);
    Ir1->setVisible(!aprovado);
}

void TfResultado::mostrarTeclaMaisErrada(const QString& texto)
{
    if (texto.isEmpty() || TeclaMaisErrada) return;
    TeclaMaisErrada = rotulo(this, texto, 32, 240);
    // Below the notepad, on the window's navy: light letters.
    TeclaMaisErrada->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(ui::cores().textoSobreFundoResultado.name()));
    TeclaMaisErrada->resize(305, TeclaMaisErrada->height());
    setFixedSize(width(), 266);
}

void TfResultado::Sp1Click()
{
    close();
}
