#pragma once
#include "Planilha.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace dominio {

// The teacher's view of the class: one line of figures per registered student, worked out
// from the students and the stored results. No tables and no windows here: the caller hands
// the students and then every stored result in the order of storing.

struct AlunoDaTurma {
    std::string nome;
    std::string tipo;
    std::string nivel;
    int licao = 1;  // highest lesson unlocked
};

struct FigurasAluno {
    std::string nome;
    std::string tipo;
    std::string nivel;
    int licao = 0;
    int totalLicoes = 0;         // highest lesson of the course type (20 for an unknown type)
    int resultados = 0;          // results of the student's current course type
    double velocidadeMedia = 0;  // keystrokes per minute; 0 without results
    double precisaoMedia = 0;    // percent
    double aprovacao = 0;        // share of passed results, percent
    // The lesson failed most often in a row (two failures at least, with no pass of that
    // lesson between them), and how many times; 0 and 0 when there is none.
    int licaoEmperrada = 0;
    int reprovacoesSeguidas = 0;
};

// Figures of the whole class: averages over every result of the students' current types.
struct TotaisTurma {
    int alunos = 0;
    int resultados = 0;
    double velocidadeMedia = 0;
    double precisaoMedia = 0;
    double aprovacao = 0;
    int emperrados = 0;  // students with a stuck lesson
};

class FigurasTurma {
public:
    explicit FigurasTurma(const std::vector<AlunoDaTurma>& alunos);

    // One stored result. Results of removed students or of another course type than the
    // student's current one do not count (the results list shows the current type too).
    void somar(const std::string& nome, const std::string& tipo, int licao, int velocidade,
               int precisao, bool aprovado);

    // The same in two steps, so that a reader need not read the rest of a row that does not
    // count: the student of that name and type, or -1; then the figures of the row.
    int aluno(const std::string& nome, const std::string& tipo) const;
    void somar(int aluno, int licao, int velocidade, int precisao, bool aprovado);

    std::vector<FigurasAluno> linhas() const;
    TotaisTurma totais() const;

private:
    struct Sequencia {
        int atual = 0;
        int maior = 0;
    };
    struct Soma {
        long long velocidade = 0;
        long long precisao = 0;
        int aprovados = 0;
        int total = 0;
        std::unordered_map<int, Sequencia> porLicao;
        int ultimaLicao = -1;  // the lesson of the last result and its run, looked up once
        Sequencia* ultima = nullptr;
    };

    std::vector<AlunoDaTurma> alunos_;
    std::vector<Soma> somas_;
    std::unordered_map<std::string, std::size_t> indice_;
};

// The class as a sheet: one row per student, in the given order. The class window shows these
// cells, the export writes them and the class report prints them.
Planilha planilhaTurma(const std::vector<FigurasAluno>& linhas);

// The totals as the window and the report state them ("Alunos: 31", ...).
std::vector<std::string> textosTotais(const TotaisTurma& totais);

} // namespace dominio
