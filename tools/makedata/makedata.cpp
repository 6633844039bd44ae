// makedata: builds the shipped data folder (every table of Dados) from the readable sources
// in assets/dados. Usage: makedata SOURCE_DIR OUTPUT_DIR
//
// Before writing, it checks what the practice window relies on: every character of a lesson
// can be typed on its keyboard, no typing line is longer than the window, and each basic
// lesson uses only the keys taught so far.
#include "Fontes.h"
#include "Licoes.h"
#include "Tabelas.h"
#include "Teclado.h"
#include "Texto.h"

#include "domain/Cursos.h"
#include "domain/Linhas.h"
#include "xbase/Codepage.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"

#include <cstdio>
#include <filesystem>
#include <map>

using namespace makedata;

namespace {

struct Problemas {
    std::vector<std::string> lista;
    void operator()(const std::string& onde, const std::string& o_que) { lista.push_back(onde + ": " + o_que); }
};

std::string nomeDe(const std::string& tabela, const Licao& l)
{
    return tabela + ", " + l.tipo + " " + std::to_string(l.numero);
}

// A blank in a keypad lesson is typed with Enter.
bool digitavel(const Licao& l, char32_t c, const MapaTeclado& teclado, const MapaTeclado& numerico)
{
    if (l.tipo == dominio::kTipoNumerico)
        return c == U' ' ? numerico.achar("aa") != nullptr : numerico.digitavel(c);
    return teclado.digitavel(c);
}

void verificarLicoes(const std::string& tabela, const std::vector<Licao>& licoes,
                     const std::vector<PlanoBasico>& plano, const MapaTeclado& teclado,
                     const MapaTeclado& numerico, Problemas& problema)
{
    std::map<std::string, int> porTipo;
    for (const Licao& l : licoes) {
        const std::string onde = nomeDe(tabela, l);
        const std::string texto = textoDaLicao(l);
        ++porTipo[l.tipo];
        if (!xbase::isRepresentable(texto))
            problema(onde, "caractere fora do Windows-1252");
        for (char32_t c : decodificar(texto))
            if (c != U'\r' && c != U'\n' && !digitavel(l, c, teclado, numerico))
                problema(onde, "caractere sem tecla no mapa: \"" + codificar(c) + "\"");
        const std::vector<std::string> linhas = dominio::dividirLinhas(texto);
        if (linhas.empty())
            problema(onde, "lição vazia");
        for (const std::string& linha : linhas)
            if (decodificar(linha).size() == dominio::kLarguraLinha)
                problema(onde, "linha da largura exata da janela, sem Enter no fim: " + linha);

        // Drill lessons are typed as written: a line must not be wrapped by the window.
        const bool escritaComoEsta = l.tipo != "Textos" && l.tipo != "Avançado";
        if (escritaComoEsta && linhas.size() != l.linhas.size())
            problema(onde, "linha mais longa que a janela de prática");

        if (l.tipo == "Básico") {
            const PlanoBasico& p = plano.at(std::size_t(l.numero - 1));
            for (char32_t c : decodificar(texto))
                if (c != U'\r' && c != U'\n' && p.permitidas.find(c) == std::u32string::npos)
                    problema(onde, "tecla ainda não ensinada: \"" + codificar(c) + "\"");
        }
    }
    for (const dominio::TipoCurso& t : dominio::tiposCurso())
        if (porTipo[t.nome] != t.maxLicoes)
            problema(tabela, std::string(t.nome) + ": " + std::to_string(porTipo[t.nome]) + " lições, esperadas "
                                 + std::to_string(t.maxLicoes));
}

std::vector<Licao> juntarCursos(std::vector<Licao> basico, const std::vector<Licao>& avancado,
                                const std::vector<Licao>& textos, const std::vector<Licao>& numerico)
{
    for (const auto* curso : {&avancado, &textos, &numerico})
        basico.insert(basico.end(), curso->begin(), curso->end());
    for (Licao& l : basico)
        evitarLinhaCheia(l);
    return basico;
}

int executar(const std::string& fontes, const std::string& saida)
{
    const auto arquivo = [&](const std::string& nome) { return fontes + "/" + nome; };
    const MapaTeclado tecladoA = MapaTeclado::ler(arquivo("teclados/TecladoA.txt"));
    const MapaTeclado tecladoB = MapaTeclado::ler(arquivo("teclados/TecladoB.txt"));
    const MapaTeclado tecladoN = MapaTeclado::ler(arquivo("teclados/TecladoN.txt"));
    const Vocabulario vocabulario = lerVocabulario(arquivo("palavras.txt"), arquivo("frases.txt"), arquivo("nomes.txt"));

    const std::vector<Bloco> basico = lerBlocos(arquivo("basico.txt"));
    const std::vector<PlanoBasico> planoA = planoBasico(basico, Modelo::Eua);
    const std::vector<PlanoBasico> planoB = planoBasico(basico, Modelo::Abnt2);
    const std::vector<Licao> avancado = gerarAvancado(lerBlocos(arquivo("avancado.txt")), vocabulario);
    const std::vector<Licao> textos = gerarTextos(lerBlocos(arquivo("textos.txt")));
    const std::vector<Licao> numerico = gerarNumerico(lerBlocos(arquivo("numerico.txt")));

    const std::vector<Licao> licoesA = juntarCursos(gerarBasico(planoA, vocabulario), avancado, textos, numerico);
    const std::vector<Licao> licoesB = juntarCursos(gerarBasico(planoB, vocabulario), avancado, textos, numerico);

    Problemas problema;
    verificarLicoes("LicaoA", licoesA, planoA, tecladoA, tecladoN, problema);
    verificarLicoes("LicaoB", licoesB, planoB, tecladoB, tecladoN, problema);
    if (!problema.lista.empty()) {
        for (const std::string& p : problema.lista)
            std::fprintf(stderr, "makedata: %s\n", p.c_str());
        return 1;
    }

    std::filesystem::create_directories(saida);
    xbase::environment().dateFormat = "dd/MM/yyyy";
    criarLicoes(saida, "LicaoA.dbf", licoesA);
    criarLicoes(saida, "LicaoB.dbf", licoesB);
    criarTeclado(saida, "TecladoA.dbf", tecladoA);
    criarTeclado(saida, "TecladoB.dbf", tecladoB);
    criarTeclado(saida, "TecladoN.dbf", tecladoN);
    criarUsuario(saida);
    criarRelat(saida);
    criarRecorde(saida, lerTabela(arquivo("recordes.txt")));
    criarExigen(saida, lerTabela(arquivo("exigencias.txt")));
    criarConfig(saida, lerAtribuicoes(arquivo("config.txt")));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("uso: makedata PASTA_DAS_FONTES PASTA_DE_SAIDA\n", stderr);
        return 2;
    }
    // The tables are built whole and checked afterwards; syncing each post to disk only slows the build.
    xbase::environment().syncOnPost = false;
    try {
        return executar(argv[1], argv[2]);
    } catch (const ErroFonte& e) {
        std::fprintf(stderr, "makedata: %s\n", e.what());
    } catch (const xbase::Error& e) {
        std::fprintf(stderr, "makedata: erro ao gravar as tabelas: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makedata: %s\n", e.what());
    }
    return 1;
}
