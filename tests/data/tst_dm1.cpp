// The data module's rules on student records, through the table component.
#include "data/Data1.h"
#include "domain/Esquema.h"
#include "xbase/Table.h"
#include "SimulatedDisk.h"

#include <functional>

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

class TstDm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void novoAlunoTemPadroes();
    void licaoLimitadaPeloTipo_data();
    void licaoLimitadaPeloTipo();
    void nomeVazioViraNoname();
    void nomeRepetidoRecusado();
    void nomesDiferemPelaCaixa();
    void renomearParaNomeExistenteERecusado();
    void nomeComAspasRecusado();
    void cacheNuncaPassaDoSlot31();
    void campoInexistente();
    void formatoDeDataComSeculo();
    void packAdiadoAteAbrirSozinho();
    void renomeacaoSobreviveAoCorteDeEnergia();
    void mesmoNomeEmDoisComputadoresAoMesmoTempo_data();
    void mesmoNomeEmDoisComputadoresAoMesmoTempo();

private:
    // Posts; a refusal of the record rules is kept in mensagens_ (its kind checked) and false returned.
    bool postar(TApTable* t);
    bool inserir(const QString& nome, const QString& tipo, qint64 licao, const QString& nivel = QString());
    void criarUsuario();
    QTemporaryDir dir_;
    Tdm1* dm_ = nullptr;
    QStringList mensagens_;
};

void TstDm1::criarUsuario()
{
    dominio::criarTabela(dir_.path().toStdString(), dominio::esquemaUsuario());
}

void TstDm1::init()
{
    QVERIFY(dir_.isValid());
    criarUsuario();
    mensagens_.clear();
    dm_ = new Tdm1;
    dm_->TabAluno->setDatabaseName(dir_.path());
    dm_->TabAluno->open();
}

void TstDm1::cleanup()
{
    delete dm_;
    dm_ = nullptr;
}

bool TstDm1::inserir(const QString& nome, const QString& tipo, qint64 licao, const QString& nivel)
{
    TApTable* t = dm_->TabAluno;
    t->insert();
    t->fieldByName("Nome").setAsString(nome);
    t->fieldByName("Tipo").setAsString(tipo);
    t->fieldByName("Licao").setAsInteger(licao);
    t->fieldByName("Nivel").setAsString(nivel);
    return postar(t);
}

bool TstDm1::postar(TApTable* t)
{
    try {
        return t->post();
    } catch (const xbase::Error& e) {
        [&] { QCOMPARE(e.kind(), xbase::ErrorKind::Invalid); }();
        mensagens_ << QString::fromUtf8(e.what());
    }
    return false;
}

void TstDm1::novoAlunoTemPadroes()
{
    TApTable* t = dm_->TabAluno;
    t->insert();
    QCOMPARE(t->fieldByName("Licao").asInteger(), 1);
    QCOMPARE(t->fieldByName("Teclado").asBoolean(), true);
    QVERIFY(t->post());
    QCOMPARE(t->fieldByName("Nome").asString(), QString("NONAME"));
    QCOMPARE(t->fieldByName("Tipo").asString(), QString("Básico"));
    QCOMPARE(t->fieldByName("Nivel").asString(), QString("Iniciante"));
}

void TstDm1::licaoLimitadaPeloTipo_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<qint64>("digitada");
    QTest::addColumn<QString>("tipoGravado");
    QTest::addColumn<qint64>("gravada");
    QTest::newRow("Avançado 75") << "Avançado" << qint64(75) << "Avançado" << qint64(40);
    QTest::newRow("Textos 25") << "Textos" << qint64(25) << "Textos" << qint64(20);
    QTest::newRow("Básico 60") << "Básico" << qint64(60) << "Básico" << qint64(60);
    QTest::newRow("Básico 61") << "Básico" << qint64(61) << "Básico" << qint64(60);
    QTest::newRow("Numérico 31") << "Numérico" << qint64(31) << "Numérico" << qint64(30);
    // The limit is taken before the empty type is filled in.
    QTest::newRow("tipo vazio 25") << "" << qint64(25) << "Básico" << qint64(20);
    QTest::newRow("zero fica") << "Básico" << qint64(0) << "Básico" << qint64(0);
    QTest::newRow("negativo fica") << "Textos" << qint64(-3) << "Textos" << qint64(-3);
}

void TstDm1::licaoLimitadaPeloTipo()
{
    QFETCH(QString, tipo);
    QFETCH(qint64, digitada);
    QFETCH(QString, tipoGravado);
    QFETCH(qint64, gravada);
    QVERIFY(inserir("ALUNO", tipo, digitada));
    TApTable* t = dm_->TabAluno;
    QCOMPARE(t->fieldByName("Tipo").asString(), tipoGravado);
    QCOMPARE(t->fieldByName("Licao").asInteger(), gravada);
}

void TstDm1::nomeVazioViraNoname()
{
    QVERIFY(inserir("NONAME", "Básico", 1));
    // An empty name passes the duplicate test even when NONAME exists already.
    QVERIFY(inserir("", "Básico", 1));
    QCOMPARE(dm_->TabAluno->recordCount(), 2);
    QVERIFY(mensagens_.isEmpty());
}

void TstDm1::nomeRepetidoRecusado()
{
    QVERIFY(inserir("ANA", "Básico", 1));
    QVERIFY(!inserir("ANA", "Textos", 3));
    QCOMPARE(mensagens_, QStringList{"Este nome<ANA> já existe!"});
    TApTable* t = dm_->TabAluno;
    // The record stays open with what was typed, for correction.
    QCOMPARE(t->state(), TApTable::State::Insert);
    QCOMPARE(t->fieldByName("Tipo").asString(), QString("Textos"));
    QCOMPARE(t->recordCount(), 1);
    t->fieldByName("Nome").setAsString("ANAMARIA");
    QVERIFY(postar(t));
    QCOMPARE(t->recordCount(), 2);
}

void TstDm1::nomesDiferemPelaCaixa()
{
    QVERIFY(inserir("ANA", "Básico", 1));
    QVERIFY(inserir("Ana", "Básico", 1));
    QCOMPARE(dm_->TabAluno->recordCount(), 2);
}

void TstDm1::renomearParaNomeExistenteERecusado()
{
    QVERIFY(inserir("ANA", "Básico", 1));
    QVERIFY(inserir("BIA", "Básico", 1));
    TApTable* t = dm_->TabAluno;
    t->edit();
    t->fieldByName("Nome").setAsString("ANA");
    QVERIFY(!postar(t));  // their results would mix
    QCOMPARE(mensagens_, QStringList{"Este nome<ANA> já existe!"});
    t->fieldByName("Nome").setAsString("BIA");  // keeping one's own name is no rename
    QVERIFY(t->post());
}

void TstDm1::nomeComAspasRecusado()
{
    QVERIFY(!inserir("ANA\" .OR. \"X", "Básico", 1));
    QCOMPARE(mensagens_.size(), 1);
    QVERIFY(mensagens_.first().contains("aspas"));
    dm_->TabAluno->cancel();
    QCOMPARE(dm_->TabAluno->recordCount(), 0);
}

void TstDm1::cacheNuncaPassaDoSlot31()
{
    // A table filled past the limit by another program: the cache keeps to its 31 slots.
    dm_->TabAluno->close();
    {
        xbase::Table t;
        t.open(dir_.path().toStdString(), "Usuario.dbf");
        for (int i = 1; i <= 35; ++i) {
            t.insert();
            t.setString(0, "ALUNO" + std::to_string(i));
            QVERIFY(t.post());
        }
    }
    dm_->TabAluno->open();
    QVERIFY(inserir("NOVO", "Básico", 1));
    QCOMPARE(dm_->NameCache[31], QString("ALUNO31"));
    QCOMPARE(dm_->NameCache[1], QString("ALUNO1"));
}

void TstDm1::campoInexistente()
{
    try {
        dm_->TabAluno->fieldByName("Xyz");
        QFAIL("esperava erro");
    } catch (const xbase::Error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QString("Usuario.dbf: Campo 'Xyz' não encontrado"));
    }
}

void TstDm1::formatoDeDataComSeculo()
{
    QVERIFY(TApolloEnv::shortDateFormat(true).contains("yyyy"));
}

// A removal while another computer has the students open leaves the row deleted; the first
// open that finds the table alone packs it.
void TstDm1::packAdiadoAteAbrirSozinho()
{
    TApTable* t = dm_->TabAluno;
    for (const char* nome : {"ANA", "BIA", "CAIO"}) QVERIFY(inserir(nome, "Básico", 1));
    xbase::Table outroComputador;
    outroComputador.open(dir_.path().toStdString(), "Usuario.dbf");
    QVERIFY(t->locate("Nome", "BIA"));
    t->deleteRecord();
    QVERIFY(!t->pack());
    QCOMPARE(t->recordCount(), 2);
    t->close();
    t->open();
    QCOMPARE(t->engine().physicalCount(), 3u);

    outroComputador.close();
    t->close();
    t->open();
    QCOMPARE(t->engine().physicalCount(), 2u);
    QCOMPARE(t->fieldByName("Nome").asString(), QString("ANA"));
    t->next();
    QCOMPARE(t->fieldByName("Nome").asString(), QString("CAIO"));
}

// A student renamed while the power fails at any moment of the rename (its note, the student's
// record, the results rows, the note's removal) is, after the next start, renamed everywhere or
// nowhere: never a student whose results went to the old name.
void TstDm1::renomeacaoSobreviveAoCorteDeEnergia()
{
    const std::string pasta = "/disco";
    const auto abrir = [&](Tdm1& dm) {
        for (TApTable* t : {dm.TabAluno, dm.TabRelat, dm.TabRec}) {
            t->setDatabaseName(QString::fromStdString(pasta));
            t->open();
        }
    };
    // Where ANA's name stands in each table: student, results, record.
    const auto nomes = [&] {
        QStringList r;
        for (const char* tabela : {"Usuario.dbf", "Relat.dbf", "Recorde.dbf"}) {
            xbase::Table t;
            t.open(pasta, tabela, true);
            for (t.first(); !t.eof(); t.next())
                r << QString::fromStdString(t.asString("Nome"));
        }
        return r.join(',');
    };
    SimulatedDisk::Image inicio;
    {
        SimulatedDisk disco({{}, {pasta}});
        disco.install();
        for (const auto* e : {&dominio::esquemaUsuario(), &dominio::esquemaRelat(), &dominio::esquemaRecorde()})
            dominio::criarTabela(pasta, *e);
        Tdm1 dm;
        abrir(dm);
        dm.TabAluno->insert();
        dm.TabAluno->fieldByName("Nome").setAsString("ANA");
        QVERIFY(dm.TabAluno->post());
        for (TApTable* t : {dm.TabRelat, dm.TabRelat, dm.TabRec}) {
            t->insert();
            t->fieldByName("Nome").setAsString("ANA");
            QVERIFY(t->post());
        }
        inicio = disco.current();
    }
    const QString antes = QStringLiteral("ANA,ANA,ANA,ANA"), depois = QStringLiteral("BIA,BIA,BIA,BIA");
    const auto renomear = [&] {
        Tdm1 dm;
        abrir(dm);
        dm.TabAluno->first();
        dm.TabAluno->edit();
        dm.TabAluno->fieldByName("Nome").setAsString("BIA");
        return dm.TabAluno->post();
    };
    int mudancas = 0;
    {
        SimulatedDisk disco(inicio);
        disco.install();
        QVERIFY(renomear());
        mudancas = disco.changesMade();
        QCOMPARE(nomes(), depois);
    }
    for (int corte = 1; corte <= mudancas; ++corte) {
        std::vector<SimulatedDisk::Image> estados;
        {
            SimulatedDisk disco(inicio);
            disco.install();
            disco.cutAfter(corte);
            try {
                renomear();
            } catch (const xbase::Error&) {
            }
            estados = disco.statesAfterCut();
        }
        for (const SimulatedDisk::Image& estado : estados) {
            SimulatedDisk disco(estado);
            disco.install();
            {
                Tdm1 dm;  // the next start
                abrir(dm);
                dm.retomarRenomeacao();
            }
            const QString visto = nomes();
            QVERIFY2(visto == antes || visto == depois, qPrintable(QString("corte %1: %2").arg(corte).arg(visto)));
        }
    }
}

// Two computers start the same new student, or one renames a student to the name the other
// registers, each before the other posts: exactly one row holds the name.
void TstDm1::mesmoNomeEmDoisComputadoresAoMesmoTempo_data()
{
    QTest::addColumn<bool>("renomeando");
    QTest::newRow("dois novos") << false;
    QTest::newRow("um novo e uma troca de nome") << true;
}

void TstDm1::mesmoNomeEmDoisComputadoresAoMesmoTempo()
{
    QFETCH(bool, renomeando);
    QVERIFY(inserir("BIA", "Básico", 1));
    Tdm1 outro;
    TApTable* dele = outro.TabAluno;
    dele->setDatabaseName(dir_.path());
    dele->open();
    TApTable* meu = dm_->TabAluno;
    meu->insert();
    meu->fieldByName("Nome").setAsString("ANA");
    if (renomeando) dele->edit();
    else dele->insert();
    dele->fieldByName("Nome").setAsString("ANA");
    QVERIFY(postar(meu));
    QVERIFY(!postar(dele));
    QCOMPARE(mensagens_, QStringList{"Este nome<ANA> já existe!"});
    QCOMPARE(dele->state(), renomeando ? TApTable::State::Edit : TApTable::State::Insert);
    xbase::Table arquivo;
    arquivo.open(dir_.path().toStdString(), "Usuario.dbf", true);
    QStringList nomes;
    for (arquivo.first(); !arquivo.eof(); arquivo.next()) nomes << QString::fromStdString(arquivo.asString(0));
    QCOMPARE(nomes, (QStringList{"BIA", "ANA"}));
}

QTEST_MAIN(TstDm1)
#include "tst_dm1.moc"
