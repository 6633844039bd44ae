#pragma once
#include <QList>
#include <QMap>
#include <QPointer>
#include <QWidget>

class QToolButton;
#include "TDataSource.h"

// A bar of buttons that move through and edit the table of a data source. Each window picks
// its buttons and their hints. click() is emitted after a button's action was carried out
// (not when the action failed or the table's rules refused it).
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Botao { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

    explicit TDBNavigator(QWidget* parent = nullptr);

    void setDataSource(TDataSource* fonte);
    // The visible buttons, in this order, with their hints (one per button).
    void setBotoes(const QList<Botao>& botoes, const QStringList& dicas);
    QToolButton* botao(Botao b) const { return botoes_.value(b); }
    // Asks before a delete with this question (empty: no question).
    void setPerguntaExcluir(const QString& pergunta) { perguntaExcluir_ = pergunta; }

    // Carries out a button's action as if it were clicked.
    void clicar(Botao b);

signals:
    void click(TDBNavigator::Botao botao);

private:
    bool executar(Botao b);
    void atualizarBotoes();

    QPointer<TDataSource> fonte_;
    QMap<Botao, QToolButton*> botoes_;
    QString perguntaExcluir_;
};
