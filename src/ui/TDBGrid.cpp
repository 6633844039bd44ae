#include "TDBGrid.h"

#include "TDataSource.h"
#include "data/TApTable.h"
#include "ui/Mensagens.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolTip>

TDBGrid::TDBGrid(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setMinimumWidth(14);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int linha, int, int anterior, int) { if (linha != anterior) linhaEscolhida(linha); });
}

void TDBGrid::setDataSource(TDataSource* fonte)
{
    if (fonte_) disconnect(fonte_, nullptr, this, nullptr);
    fonte_ = fonte;
    if (fonte_) connect(fonte_, &TDataSource::dataChange, this, &TDBGrid::agendar);
    recarregar();
}

void TDBGrid::setColunas(const QStringList& campos)
{
    colunas_ = campos;
    recarregar();
}

void TDBGrid::setFundoDica(bool sim)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, sim ? QToolTip::palette().color(QPalette::ToolTipBase)
                                   : QPalette().color(QPalette::Base));
    setPalette(p);
}

void TDBGrid::agendar()
{
    // Many changes come in a burst (a delete loop, a refilled cache): read once afterwards.
    if (agendado_) return;
    agendado_ = true;
    QTimer::singleShot(0, this, [this] {
        agendado_ = false;
        recarregar();
    });
}

QString TDBGrid::textoCelula(int campo, const QString& valor) const
{
    const xbase::FieldDef& def = fonte_->dataSet()->engine().fieldDef(campo);
    if (def.type == xbase::FieldType::Memo) return QStringLiteral("(MEMO)");
    if (def.type == xbase::FieldType::Logical)
        return valor.isEmpty() ? QString() : (valor == QLatin1String("T") ? QStringLiteral("Sim") : QStringLiteral("Não"));
    return valor;
}

void TDBGrid::recarregar()
{
    TApTable* t = fonte_ ? fonte_->dataSet() : nullptr;
    if (!t || !t->active()) {
        const QSignalBlocker bloqueio(this);
        setRowCount(0);
        setColumnCount(0);
        return;
    }
    // While a record is being edited the rows stay as they are.
    if (t->editing()) return;

    campos_.clear();
    QStringList titulos;
    const QStringList nomes = colunas_.isEmpty() ? t->fieldNames() : colunas_;
    for (const QString& nome : nomes) {
        const int i = t->findField(nome);
        if (i < 0) continue;
        campos_ << i;
        titulos << t->fieldNames().at(i);
    }

    QVector<QStringList> linhas;
    ui::protegido(this, [&] { lerRegistros(t, campos_, linhas, &recnos_); });

    const QSignalBlocker bloqueio(this);
    setColumnCount(campos_.size());
    setHorizontalHeaderLabels(titulos);
    setRowCount(linhas.size());
    for (int r = 0; r < linhas.size(); ++r) {
        for (int c = 0; c < campos_.size(); ++c) {
            auto* item = new QTableWidgetItem(textoCelula(campos_.at(c), linhas.at(r).at(c)));
            const auto tipo = t->engine().fieldDef(campos_.at(c)).type;
            if (tipo == xbase::FieldType::Numeric || tipo == xbase::FieldType::Float)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, item);
        }
    }
    resizeColumnsToContents();
    marcarAtual();
}

void TDBGrid::marcarAtual()
{
    const int atual = fonte_ && fonte_->ativo() && !fonte_->dataSet()->eof()
                          ? recnos_.indexOf(fonte_->dataSet()->recNo())
                          : -1;
    QStringList indicador;
    for (int r = 0; r < recnos_.size(); ++r) indicador << (r == atual ? QStringLiteral("▶") : QString());
    setVerticalHeaderLabels(indicador);
    if (atual >= 0) {
        setCurrentCell(atual, 0);
        selectRow(atual);
    } else {
        clearSelection();
    }
}

void TDBGrid::linhaEscolhida(int linha)
{
    if (!fonte_ || !fonte_->ativo() || linha < 0 || linha >= recnos_.size()) return;
    TApTable* t = fonte_->dataSet();
    if (t->recNo() == recnos_.at(linha) && !t->eof()) return;
    ui::protegido(this, [&] {
        if (fonte_->checkBrowseMode()) t->go(recnos_.at(linha));
    });
}
