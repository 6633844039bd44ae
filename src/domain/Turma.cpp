#include "Turma.h"

#include "Cursos.h"

namespace dominio {

namespace {

double media(long long soma, int total) { return total > 0 ? double(soma) / total : 0.0; }

} // namespace

FigurasTurma::FigurasTurma(const std::vector<AlunoDaTurma>& alunos) : alunos_(alunos), somas_(alunos.size())
{
    // Names are unique; should a file hold one twice, the first keeps the results.
    for (std::size_t i = 0; i < alunos_.size(); ++i) indice_.emplace(alunos_[i].nome, i);
}

void FigurasTurma::somar(const std::string& nome, const std::string& tipo, int licao, int velocidade,
                         int precisao, bool aprovado)
{
    const int i = aluno(nome, tipo);
    if (i >= 0) somar(i, licao, velocidade, precisao, aprovado);
}

int FigurasTurma::aluno(const std::string& nome, const std::string& tipo) const
{
    const auto achado = indice_.find(nome);
    if (achado == indice_.end() || tipo != alunos_[achado->second].tipo) return -1;
    return int(achado->second);
}

void FigurasTurma::somar(int aluno, int licao, int velocidade, int precisao, bool aprovado)
{
    Soma& s = somas_[std::size_t(aluno)];
    s.velocidade += velocidade;
    s.precisao += precisao;
    s.aprovados += aprovado ? 1 : 0;
    ++s.total;

    // Pointers into an unordered_map stay valid while it grows.
    if (licao != s.ultimaLicao) {
        s.ultima = &s.porLicao[licao];
        s.ultimaLicao = licao;
    }
    Sequencia& seq = *s.ultima;
    if (aprovado) {
        seq.atual = 0;
    } else if (++seq.atual > seq.maior) {
        seq.maior = seq.atual;
    }
}

std::vector<FigurasAluno> FigurasTurma::linhas() const
{
    std::vector<FigurasAluno> lista;
    lista.reserve(alunos_.size());
    for (std::size_t i = 0; i < alunos_.size(); ++i) {
        const AlunoDaTurma& a = alunos_[i];
        const Soma& s = somas_[i];
        FigurasAluno f;
        f.nome = a.nome;
        f.tipo = a.tipo;
        f.nivel = a.nivel;
        f.licao = a.licao;
        f.totalLicoes = maxLicoesAluno(a.tipo);
        f.resultados = s.total;
        f.velocidadeMedia = media(s.velocidade, s.total);
        f.precisaoMedia = media(s.precisao, s.total);
        f.aprovacao = media(100LL * s.aprovados, s.total);
        // On a tie the furthest lesson is the one the teacher looks at.
        for (const auto& [licao, seq] : s.porLicao) {
            if (seq.maior < 2) continue;
            if (seq.maior > f.reprovacoesSeguidas
                || (seq.maior == f.reprovacoesSeguidas && licao > f.licaoEmperrada)) {
                f.licaoEmperrada = licao;
                f.reprovacoesSeguidas = seq.maior;
            }
        }
        lista.push_back(std::move(f));
    }
    return lista;
}

TotaisTurma FigurasTurma::totais() const
{
    TotaisTurma t;
    t.alunos = int(alunos_.size());
    long long velocidade = 0, precisao = 0, aprovados = 0;
    for (const Soma& s : somas_) {
        t.resultados += s.total;
        velocidade += s.velocidade;
        precisao += s.precisao;
        aprovados += s.aprovados;
    }
    for (const FigurasAluno& f : linhas())
        if (f.licaoEmperrada > 0) ++t.emperrados;
    t.velocidadeMedia = media(velocidade, t.resultados);
    t.precisaoMedia = media(precisao, t.resultados);
    t.aprovacao = media(100 * aprovados, t.resultados);
    return t;
}

Planilha planilhaTurma(const std::vector<FigurasAluno>& linhas)
{
    Planilha p;
    p.nome = "Turma";
    p.cabecalho = {"Nome", "Tipo de lição", "Nível", "Lição liberada", "Total de lições", "Resultados",
                   "Velocidade média (teclas/min)", "Precisão média (%)", "Aprovação (%)",
                   "Lição emperrada", "Reprovações seguidas"};
    for (const FigurasAluno& f : linhas) {
        const bool temResultados = f.resultados > 0;
        auto media = [&](double v) { return temResultados ? Celula::deNumero(v, 1) : Celula::vazia(); };
        const bool emperrado = f.licaoEmperrada > 0;
        p.linhas.push_back({Celula::deTexto(f.nome), Celula::deTexto(f.tipo), Celula::deTexto(f.nivel),
                            Celula::deNumero(f.licao), Celula::deNumero(f.totalLicoes),
                            Celula::deNumero(f.resultados), media(f.velocidadeMedia), media(f.precisaoMedia),
                            media(f.aprovacao), emperrado ? Celula::deNumero(f.licaoEmperrada) : Celula::vazia(),
                            emperrado ? Celula::deNumero(f.reprovacoesSeguidas) : Celula::vazia()});
    }
    return p;
}

std::vector<std::string> textosTotais(const TotaisTurma& t)
{
    const bool temResultados = t.resultados > 0;
    auto media = [&](double v, const char* unidade) {
        return temResultados ? numeroBr(v, 1) + unidade : std::string("-");
    };
    return {"Alunos: " + std::to_string(t.alunos),
            "Resultados: " + std::to_string(t.resultados),
            "Velocidade média: " + media(t.velocidadeMedia, " teclas/min"),
            "Precisão média: " + media(t.precisaoMedia, "%"),
            "Aprovação: " + media(t.aprovacao, "%"),
            "Alunos emperrados: " + std::to_string(t.emperrados)};
}

} // namespace dominio
