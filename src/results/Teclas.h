#pragma once
#include "RelTeclas.h"
#include "domain/EstatisticaTeclas.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

// The "Teclas" window: the key figures of one student's lessons of a type over a range of
// lessons, as a keyboard of the student's layout coloured by error rate, and the list of the
// weakest keys with their error rate, time per keystroke and what was typed instead.
class TfTeclas : public QDialog {
    Q_OBJECT
public:
    explicit TfTeclas(QWidget* parent = nullptr);

    // Reads the figures from the working folder and draws them. Throws xbase::Error.
    void mostrar(const QString& nome, const QString& tipo, int de, int ate, bool abnt2);

    const dominio::EstatisticaTeclas& figuras() const { return figuras_; }
    QWidget* teclado() const { return teclado_; }
    QTableWidget* lista() const { return lista_; }
    QLabel* titulo() const { return titulo_; }
    QPushButton* botaoTreinar() const { return treinar_; }

    // What the window shows, for its printed report.
    FolhaTeclas folha() const;
    // The printed report in its preview, where it is printed or saved as PDF.
    void imprimir();

    // Set before mostrar when the drill can be typed (the practice window opened the list).
    std::function<bool(const std::u32string&)> aoTreinar;

private:
    void desenharTeclado();
    void preencherLista();

    dominio::EstatisticaTeclas figuras_;
    QVector<QuadroTecla> quadros_;
    QVector<QStringList> linhas_;
    QLabel* titulo_;
    QWidget* teclado_;
    QTableWidget* lista_;
    QPushButton* sair_;
    QPushButton* treinar_;
    QPushButton* imprimir_;
    QPushButton* ajuda_;
};
