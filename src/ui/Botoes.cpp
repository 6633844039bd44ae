#include "Botoes.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace ui {

QPushButton* botao(QWidget* pai, const QString& texto, const QString& icone, const QRect& area)
{
    auto* b = icone.isEmpty() ? new QPushButton(texto, pai) : new QPushButton(QIcon(icone), texto, pai);
    b->setGeometry(area);
    b->setAutoDefault(false);
    return b;
}

QPushButton* botaoAjuda(QWidget* pai, const QRect& area)
{
    return botao(pai, QStringLiteral("&Ajuda"), QStringLiteral(":/imagens/ajuda16.png"), area);
}

QPushButton* botaoSair(QWidget* pai, const QRect& area, QWidget* janela)
{
    QPushButton* b = botao(pai, QStringLiteral("&Sair"), QStringLiteral(":/imagens/sair16.png"), area);
    QObject::connect(b, &QPushButton::clicked, janela, &QWidget::close);
    return b;
}

QLabel* figuraEmMoldura(QWidget* pai, const QRect& area, const QString& figura, QFrame** moldura)
{
    auto* frame = new QFrame(pai);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(area);
    auto* imagem = new QLabel(frame);
    imagem->setGeometry(2, 2, area.width() - 4, area.height() - 4);
    imagem->setScaledContents(true);
    imagem->setPixmap(QPixmap(figura));
    if (moldura) *moldura = frame;
    return imagem;
}

QFrame* linhaHorizontal(QWidget* pai, const QRect& area)
{
    auto* linha = new QFrame(pai);
    linha->setFrameShape(QFrame::HLine);
    linha->setFrameShadow(QFrame::Sunken);
    linha->setGeometry(area);
    return linha;
}

} // namespace ui
