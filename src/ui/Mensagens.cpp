#include "Mensagens.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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

bool mostrar(QWidget* pai, TipoMensagem tipo, const QString& texto)
{
    if (respondedor()) return respondedor()(tipo, texto);

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
