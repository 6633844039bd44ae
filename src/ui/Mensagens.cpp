#include "Mensagens.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace ui {
namespace {

Respondedor& respondedor()
{
    static Respondedor r;
    return r;
}

QString titulo()
{
    const QString t = QApplication::applicationDisplayName();
    return t.isEmpty() ? QStringLiteral("Tarvex 3") : t;
}

// A message longer than a screen holds (the report of a long class list) is shown in a text
// that scrolls, with its OK always on the screen.
constexpr int kLinhasDeUmaCaixa = 25;

void mostrarLongo(QWidget* pai, const QString& texto)
{
    QDialog caixa(pai);
    caixa.setWindowTitle(titulo());
    auto* coluna = new QVBoxLayout(&caixa);
    auto* area = new QPlainTextEdit(texto, &caixa);
    area->setReadOnly(true);
    area->setAccessibleName(QStringLiteral("Mensagem"));
    coluna->addWidget(area);
    auto* ok = new QPushButton(QStringLiteral("OK"), &caixa);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &caixa, &QDialog::accept);
    coluna->addWidget(ok, 0, Qt::AlignRight);
    const QScreen* tela = pai ? pai->screen() : QGuiApplication::primaryScreen();
    const QSize cabe = tela ? tela->availableGeometry().size() * 0.8 : QSize(800, 600);
    caixa.resize(std::min(cabe.width(), 640), cabe.height());
    caixa.setAccessibleDescription(texto);
    caixa.exec();
}

bool mostrar(QWidget* pai, TipoMensagem tipo, const QString& texto)
{
    if (respondedor()) return respondedor()(tipo, texto);
    if (tipo != TipoMensagem::Pergunta && texto.count(QLatin1Char('\n')) >= kLinhasDeUmaCaixa) {
        mostrarLongo(pai, texto);
        return true;
    }

    QMessageBox caixa(pai);
    caixa.setWindowTitle(titulo());
    caixa.setText(texto);
    // A screen reader reads the whole message when the box opens.
    caixa.setAccessibleName(titulo());
    caixa.setAccessibleDescription(texto);
    if (tipo == TipoMensagem::Pergunta) {
        caixa.setIcon(QMessageBox::Question);
        QPushButton* sim = caixa.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
        QPushButton* nao = caixa.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
        caixa.setDefaultButton(sim);
        caixa.setEscapeButton(nao);
        caixa.exec();
        return caixa.clickedButton() == sim;
    }
    caixa.setIcon(tipo == TipoMensagem::Informacao ? QMessageBox::Information
                  : tipo == TipoMensagem::Aviso    ? QMessageBox::Warning
                                                   : QMessageBox::Critical);
    caixa.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    caixa.exec();
    return true;
}

} // namespace

bool pergunta(QWidget* pai, const QString& texto) { return mostrar(pai, TipoMensagem::Pergunta, texto); }
void informacao(QWidget* pai, const QString& texto) { mostrar(pai, TipoMensagem::Informacao, texto); }
void aviso(QWidget* pai, const QString& texto) { mostrar(pai, TipoMensagem::Aviso, texto); }
void erro(QWidget* pai, const QString& texto) { mostrar(pai, TipoMensagem::Erro, texto); }

bool protegido(QWidget* pai, const std::function<void()>& acao)
{
    try {
        acao();
        return true;
    } catch (const std::exception& e) {
        erro(pai, QString::fromUtf8(e.what()));
    }
    return false;
}

void definirRespondedor(Respondedor r) { respondedor() = std::move(r); }

} // namespace ui
