#pragma once
#include <QString>
#include <QWidget>

class QTextBrowser;
class QPushButton;

namespace plataforma {

// The program's help window: the help book's pages with "Início", "Voltar" and "Avançar".
// One window is reused for every topic; it is not modal.
class JanelaAjuda : public QWidget {
    Q_OBJECT
public:
    explicit JanelaAjuda(QWidget* pai = nullptr);

    void abrirTopico(const QString& arquivo);
    QTextBrowser* navegador() const { return navegador_; }

private:
    void irParaInicio();
    void atualizarBotoes();

    QTextBrowser* navegador_;
    QPushButton* inicio_;
    QPushButton* voltar_;
    QPushButton* avancar_;
};

// The help book's folder. Default: "ajuda" in the program's data folder (StartDir), else in
// the installed data folder.
QString pastaAjuda();
void definirPastaAjuda(const QString& pasta);

// Shows the help window at topic <contexto>.html of the help book, in front of "pai"; a missing
// book or topic is said in an error box.
void mostrarAjuda(int contexto, QWidget* pai);

// The help window, when one is open (tests look at it).
JanelaAjuda* janelaAjuda();

} // namespace plataforma
