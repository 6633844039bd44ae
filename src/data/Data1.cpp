#include "Data1.h"
#include "Gravacao.h"

#include "domain/AjudasAluno.h"
#include "domain/ArquivoTeclas.h"
#include "domain/Cursos.h"
#include "domain/Filtros.h"
#include "xbase/Codepage.h"
#include "xbase/Error.h"
#include "xbase/File.h"
#include "xbase/SystemError.h"

#include <QDir>
#include <algorithm>


Tdm1* dm1 = nullptr;

namespace {

// Placeholder of the empty name-cache slots; only slots just filled are ever compared.
const QString kMarcador = QStringLiteral("X");

// A record rule's refusal: the window that asked for the write shows it.
[[noreturn]] void recusar(const QString& texto)
{
    throw xbase::Error(xbase::ErrorKind::Invalid, texto.toUtf8().toStdString());
}

QString jaExiste(const QString& nome) { return QStringLiteral("Este nome<") + nome + QStringLiteral("> já existe!"); }

} // namespace

Tdm1::Tdm1(QObject* parent) : QObject(parent)
{
    ApolloEnv1 = new TApolloEnv(this);
    ApolloEnv1->setCentury(true);
    ApolloEnv1->setDeleted(true);

    TabLicao = new TApTable(this);
    TabAluno = new TApTable(this);
    TabRec = new TApTable(this);
    TabExig = new TApTable(this);
    TabConfig = new TApTable(this);
    TabRelat = new TApTable(this);

    TabLicao->setTableName(QStringLiteral("LicaoB.dbf"));
    TabLicao->setIndexName(QStringLiteral("TIPO"));
    TabAluno->setTableName(QStringLiteral("Usuario.dbf"));
    TabRec->setTableName(QStringLiteral("Recorde.dbf"));
    TabExig->setTableName(QStringLiteral("Exigen.dbf"));
    TabExig->setReadOnly(true);
    TabConfig->setTableName(QStringLiteral("Config.dbf"));
    TabRelat->setTableName(QStringLiteral("Relat.dbf"));

    TabAluno->beforeInsert = [this](TApTable& t) { TabAlunoBeforeInsert(t); };
    TabAluno->onNewRecord = [this](TApTable& t) { TabAlunoNewRecord(t); };
    TabAluno->beforePost = [this](TApTable& t) { return TabAlunoBeforePost(t); };
    TabAluno->beforeWrite = [this](TApTable& t) { TabAlunoBeforeWrite(t); };
    TabAluno->afterPost = [this](TApTable&) { TabAlunoAfterPost(); };

    dm1Create();
    if (!dm1) dm1 = this;
}

Tdm1::~Tdm1()
{
    if (dm1 == this) dm1 = nullptr;
}

void Tdm1::dm1Create()
{
    NameCache.fill(kMarcador);
}

void Tdm1::TabAlunoBeforeInsert(TApTable& table)
{
    table.readFresh();  // the names other computers registered since
    table.first();
    int k = 1;
    // A table with more students than slots never writes past the last slot.
    while (!table.eof() && k <= kMaxAlunos) {
        NameCache[k] = table.fields(0).asString();
        ++k;
        table.next();
    }
    while (!table.eof()) table.next();
}

void Tdm1::TabAlunoNewRecord(TApTable& table)
{
    table.fields(2).setAsInteger(1);
    table.fields(3).setAsBoolean(true);
}

bool Tdm1::TabAlunoBeforePost(TApTable& table)
{
    nomeAntigo_.clear();
    nomeAVerificar_.clear();
    const QString nome = table.fields(0).asString();

    // A quote would end the filter text built from the name early (removing one student could
    // then delete another's results); a character outside Windows-1252 would be stored mangled.
    if (nome.contains(QLatin1Char('"'))) recusar(QStringLiteral("O nome do aluno não pode conter aspas (\")."));
    if (!xbase::isRepresentable(nome.toStdString()))
        recusar(QStringLiteral("O nome do aluno contém caracteres que não podem ser gravados."));

    // A new name is compared with the names on disk inside the post; an empty one becomes
    // NONAME below and is not compared.
    if (table.state() == TApTable::State::Insert) nomeAVerificar_ = nome;

    const int maximo = dominio::maxLicoesAluno(table.fieldByName(QStringLiteral("Tipo")).asString().toStdString());
    if (table.fields(2).asInteger() > maximo) table.fields(2).setAsInteger(maximo);

    if (nome.isEmpty()) table.fields(0).setAsString(QStringLiteral("NONAME"));

    // A rename: refused onto another student's name (their results would mix), otherwise noted
    // on disk so that it finishes even when the program stops half-way (both inside the post).
    if (table.state() == TApTable::State::Edit) {
        const QString antigo = QString::fromStdString(table.engine().storedString(0));
        const QString novo = table.fields(0).asString();
        if (antigo != novo) {
            nomeAVerificar_ = novo;
            nomeAntigo_ = antigo;
            nomeNovo_ = novo;
        }
    }
    if (table.fieldByName(QStringLiteral("Tipo")).asString().isEmpty())
        table.fieldByName(QStringLiteral("Tipo")).setAsString(QStringLiteral("Básico"));
    if (table.fieldByName(QStringLiteral("Nivel")).asString().isEmpty())
        table.fieldByName(QStringLiteral("Nivel")).setAsString(QStringLiteral("Iniciante"));
    return true;
}

void Tdm1::TabAlunoBeforeWrite(TApTable& table)
{
    if (nomeAVerificar_.isEmpty()) return;
    const std::string nome = nomeAVerificar_.toUtf8().toStdString();
    const uint32_t proprio = table.state() == TApTable::State::Edit ? uint32_t(table.recNo()) : 0;
    for (const auto& [recno, outro] : table.engine().storedTexts(0))
        if (recno != proprio && outro == nome) recusar(jaExiste(nomeAVerificar_));
    if (nomeAntigo_.isEmpty()) return;
    // Whole on disk, under its name, before the record changes.
    xbase::replaceFileDurably(arquivoRenomeacao().toStdString(),
                              (nomeAntigo_ + QLatin1Char('\n') + nomeNovo_).toUtf8().toStdString());
}

QString Tdm1::arquivoRenomeacao() const
{
    return QDir(TabAluno->databaseName()).filePath(QStringLiteral("renomeacao.pendente"));
}

void Tdm1::TabAlunoAfterPost()
{
    if (nomeAntigo_.isEmpty()) return;
    const QString antigo = nomeAntigo_, novo = nomeNovo_;
    nomeAntigo_.clear();
    renomearNasTabelas(antigo, novo);
    xbase::removeFileDurably(arquivoRenomeacao().toStdString());
}

void Tdm1::renomearNasTabelas(const QString& antigo, const QString& novo)
{
    for (TApTable* t : {TabRelat, TabRec}) {
        if (!t->active()) continue;
        const int n = static_cast<int>(t->engine().physicalCount());
        for (int r = 1; r <= n; ++r) {
            t->go(r);
            if (t->fieldByName(QStringLiteral("Nome")).asString() != antigo) continue;
            Gravacao gravacao(t, Gravacao::Modo::Editar);
            t->fieldByName(QStringLiteral("Nome")).setAsString(novo);
            gravacao.gravar();
        }
        t->first();
    }
    dominio::renomearTeclasDoAluno(TabAluno->databaseName().toStdString(), antigo.toStdString(),
                                   novo.toStdString());
    dominio::renomearAjudasDoAluno(TabAluno->databaseName().toStdString(), antigo.toStdString(),
                                   novo.toStdString());
}

void Tdm1::retomarRenomeacao()
{
    const std::string arquivo = arquivoRenomeacao().toStdString();
    if (!xbase::fileExists(arquivo)) return;
    const QStringList nomes = QString::fromStdString(xbase::readWholeFile(arquivo)).split(QLatin1Char('\n'));
    if (nomes.size() == 2 && TabAluno->active()
        && TabAluno->locate(QStringLiteral("Nome"), nomes.at(1)))
        renomearNasTabelas(nomes.at(0), nomes.at(1));
    xbase::removeFileDurably(arquivo);
}
