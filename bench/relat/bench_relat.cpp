// Times the results list's ListarLicoes (the window's own method, offscreen) over a results
// table of 100,000 rows of which 10,000 are the student's, and the same work done by the
// engine alone: the filter, the walk that sums the three fields and the count; and the fresh
// read of the records that comes before every list, beside a whole open of the table.
// Usage: bench_relat [runs]
#include "data/Data1.h"
#include "domain/Filtros.h"
#include "domain/Esquema.h"
#include "results/relat.h"
#include "ui/TDBGrid.h"
#include "ui/TSpinEdit.h"
#include "xbase/Environment.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLinhas = 100000;
constexpr int kDoAluno = 10000;
const char* const kOutros[] = {"ANAMARIA", "BRUNO", "CARLA", "DANIEL", "ELISA", "FABIO", "GABRIELA", "HUGO", "IRENE"};
const char* const kTipos[] = {"Básico", "Avançado", "Textos", "Numérico"};

void criarTabelas(const std::string& dir)
{
    xbase::environment().syncOnPost = false;  // a quick set-up: the figures measure reading
    dominio::criarTabela(dir, dominio::esquemaRelat());
    xbase::Table t;
    t.open(dir, "Relat.dbf");
    // Every tenth row is the student's, spread over the file as lessons are stored over time.
    for (int i = 0; i < kLinhas; ++i) {
        const bool doAluno = i % (kLinhas / kDoAluno) == 0;
        t.insert();
        t.setString(0, doAluno ? "ANA" : kOutros[i % 9]);
        t.setString(1, doAluno ? "Básico" : kTipos[i % 4]);
        t.setInteger(2, 1 + i % 60);
        t.setInteger(3, 80 + i % 150);
        t.setInteger(4, 70 + i % 31);
        t.setString(5, i % 3 ? "Aprovado" : "Reprovado");
        t.post();
    }
    dominio::criarTabela(dir, dominio::esquemaLicao(), "LicaoB.dbf");
    xbase::Table licao;
    licao.open(dir, "LicaoB.dbf");
    for (int n = 1; n <= 60; ++n) {
        licao.insert();
        licao.setString(0, "Básico");
        licao.setInteger(1, n);
        licao.post();
    }
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The engine alone: what ListarLicoes asks of it.
double soMotor(const std::string& dir, const std::string& filtro, long long& conferencia)
{
    xbase::Table t;
    t.open(dir, "Relat.dbf");
    QElapsedTimer relogio;
    relogio.start();
    t.setFilter(filtro);
    long long veloc = 0, prec = 0, aprovados = 0;
    for (t.first(); !t.eof(); t.next()) {
        veloc += t.asInteger(3);
        prec += t.asInteger(4);
        if (t.asString(5) == "Aprovado") ++aprovados;
    }
    conferencia = t.count();
    return relogio.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rodadas = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir pasta;
    const std::string dir = pasta.path().toStdString();
    QElapsedTimer relogio;
    relogio.start();
    criarTabelas(dir);
    std::printf("tabela de %d resultados (%d do aluno) feita em %.1f s\n", kLinhas, kDoAluno,
                relogio.elapsed() / 1000.0);

    Tdm1 dm;
    dm.Abnt2Keyboard = true;  // the lessons are in LicaoB.dbf
    dm.TabRelat->setDatabaseName(pasta.path());
    dm.TabRelat->open();
    auto* janela = new TfRelat;
    janela->NomeAluno = QStringLiteral("ANA");
    janela->TipoLicao = QStringLiteral("Básico");
    janela->UltimaLicao = 60;
    janela->show();  // FormShow lists lessons 1 to 60 once
    QApplication::processEvents();
    std::printf("lista: %s\n", qPrintable(janela->lTotal->text()));

    std::vector<double> janelaMs, motorMs, gradeMs, frescoMs, aberturaMs;
    long long contagem = 0;
    const std::string filtro = dominio::filtroResultados("ANA", "Básico", 1, 60);
    for (int i = 0; i < rodadas; ++i) {
        relogio.restart();
        janela->ListarLicoes();
        janelaMs.push_back(relogio.nsecsElapsed() / 1e6);
        relogio.restart();
        janela->DBGrid1->recarregar();
        gradeMs.push_back(relogio.nsecsElapsed() / 1e6);
        motorMs.push_back(soMotor(dir, filtro, contagem));
        relogio.restart();
        dm.TabRelat->engine().readFresh();
        frescoMs.push_back(relogio.nsecsElapsed() / 1e6);
        relogio.restart();
        xbase::Table aberta;
        aberta.open(dir, "Relat.dbf", true);
        aberturaMs.push_back(relogio.nsecsElapsed() / 1e6);
    }
    const double total = mediana(janelaMs);
    const double motor = mediana(motorMs);
    std::printf("ListarLicoes: mediana de %d rodadas %.1f ms (meta: menos de 100 ms)\n", rodadas, total);
    std::printf("  no motor (filtro, percurso, contagem de %lld): %.1f ms (%.0f%%)\n", contagem, motor,
                total > 0 ? 100.0 * motor / total : 0.0);
    std::printf("  leitura fresca dos %d resultados (parte de ListarLicoes): %.1f ms; abertura inteira: %.1f ms\n",
                kLinhas, mediana(frescoMs), mediana(aberturaMs));
    std::printf("  recarga da grade com as linhas (fora de ListarLicoes): %.1f ms\n", mediana(gradeMs));
    janela->close();
    return total < 100 ? 0 : 1;
}
