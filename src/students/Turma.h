#pragma once
#include "domain/Turma.h"

#include <QAbstractTableModel>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// The class as a table model: the cells of the class sheet, texts as they are, numbers with a
// decimal comma. Sorting uses the numbers themselves (Qt::UserRole).
class ModeloTurma : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void definir(const dominio::Planilha& planilha);
    const dominio::Planilha& planilha() const { return planilha_; }

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override;

private:
    dominio::Planilha planilha_;
};

// The teacher's class view: one row per student with where he or she stands, sortable by any
// column; a row opens that student's results list. Prints and exports the class.
class TfTurma : public QDialog {
    Q_OBJECT
public:
    explicit TfTurma(QWidget* parent = nullptr);

    QTableView* Grade;
    QLabel* lTotais;
    QPushButton* bImprimir;
    QPushButton* bExportar;
    QPushButton* BitBtn1;  // "&Sair"
    QPushButton* BitBtn3;  // "&Ajuda"

    // Reads the students and their results again.
    void Carregar();
    // The class sheet in the order the view shows it.
    dominio::Planilha planilhaVisivel() const;
    const dominio::TotaisTurma& totais() const { return totais_; }

    void bImprimirClick();
    void bExportarClick();
    void AbrirResultados(int linhaVisivel);
    // Lays the window out `largura` wide: the buttons keep to its right edge, the table scrolls.
    void dispor(int largura);

private:
    QFrame* linha_;
    void ajustarColunas();

    ModeloTurma* modelo_;
    QSortFilterProxyModel* ordem_;
    std::vector<dominio::FigurasAluno> alunos_;
    dominio::TotaisTurma totais_;
    QVector<int> larguraDasCelulas_;
};

// Opens the class view modally.
void abrirTurma(QWidget* pai);
