// Times the opening of the class view (the window made, its figures read and worked out, the
// window drawn, offscreen) over 31 students and 100,000 stored results, and the reading and
// working out alone.
// Usage: bench_turma [runs]
#include "data/Data1.h"
#include "domain/Cursos.h"
#include "domain/Esquema.h"
#include "students/DadosTurma.h"
#include "students/Turma.h"
#include "xbase/Environment.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kAlunos = 31;
constexpr int kResultados = 100000;

std::string nomeAluno(int i) { return "ALUNO NÚMERO " + std::to_string(i + 1); }

void criarTabelas(const std::string& dir)
{
    xbase::environment().syncOnPost = false;  // a quick set-up: the figures measure reading
    const auto& tipos = dominio::tiposCurso();
    dominio::criarTabela(dir, dominio::esquemaUsuario());
    xbase::Table alunos;
    alunos.open(dir, "Usuario.dbf");
    for (int i = 0; i < kAlunos; ++i) {
        alunos.insert();
        alunos.setString(0, nomeAluno(i));
        alunos.setString(1, tipos[std::size_t(i % 4)].nome);
        alunos.setInteger(2, 1 + i % 20);
        alunos.setBoolean(3, true);
        alunos.setString(4, dominio::niveis()[std::size_t(i % 5)]);
        alunos.post();
    }
    dominio::criarTabela(dir, dominio::esquemaRelat());
    xbase::Table relat;
    relat.open(dir, "Relat.dbf");
    for (int k = 0; k < kResultados; ++k) {
        const int i = k % kAlunos;
        relat.insert();
        relat.setString(0, nomeAluno(i));
        relat.setString(1, tipos[std::size_t(i % 4)].nome);
        relat.setInteger(2, 1 + k % 20);
        relat.setInteger(3, 80 + k % 150);
        relat.setInteger(4, 70 + k % 31);
        relat.setString(5, k % 3 ? "Aprovado" : "Reprovado");
        relat.post();
    }
}

// Processor time of this thread: what the work costs when other programs share the machine.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rodadas = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir pasta;
    QElapsedTimer relogio;
    relogio.start();
    criarTabelas(pasta.path().toStdString());
    std::printf("%d alunos e %d resultados gravados em %.1f s\n", kAlunos, kResultados, relogio.elapsed() / 1000.0);

    Tdm1 dm;
    for (TApTable* t : {dm.TabAluno, dm.TabRelat}) {
        t->setDatabaseName(pasta.path());
        t->open();
    }

    std::vector<double> janelaMs, leituraMs, criarMs, cpuJanelaMs;
    int resultados = 0;
    for (int i = 0; i < rodadas; ++i) {
        relogio.restart();
        const double cpu0 = cpuMs();
        {
            TfTurma janela;
            criarMs.push_back(relogio.nsecsElapsed() / 1e6);
            janela.show();
            QApplication::processEvents();
            resultados = janela.totais().resultados;
        }
        janelaMs.push_back(relogio.nsecsElapsed() / 1e6);
        cpuJanelaMs.push_back(cpuMs() - cpu0);

        relogio.restart();
        const dominio::FigurasTurma turma = lerTurma();
        leituraMs.push_back(relogio.nsecsElapsed() / 1e6);
    }
    std::printf("resultados contados na turma: %d\n", resultados);
    std::printf("abrir a turma (janela desenhada): mediana de %d rodadas %.1f ms (meta: menos de 100 ms)\n", rodadas,
                mediana(janelaMs));
    std::printf("  tempo de processador da mesma abertura: %.1f ms\n", mediana(cpuJanelaMs));
    std::printf("  janela feita, antes de desenhada: %.1f ms\n", mediana(criarMs));
    std::printf("  leitura e contas sem a janela: %.1f ms\n", mediana(leituraMs));
    return 0;
}
