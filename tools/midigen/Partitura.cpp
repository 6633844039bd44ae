#include "Partitura.h"

#include <algorithm>
#include <cstdlib>
#include <cctype>
#include <map>
#include <memory>
#include <sstream>

namespace {

// A comment starts with '#' at the start of a line or after a blank; "f#4" is a note.
std::string semComentario(const std::string& linha) {
    for (size_t i = 0; i < linha.size(); ++i)
        if (linha[i] == '#' && (i == 0 || linha[i - 1] == ' ' || linha[i - 1] == '\t')) return linha.substr(0, i);
    return linha;
}

std::string aparar(const std::string& s) {
    const auto inicio = s.find_first_not_of(" \t\r");
    if (inicio == std::string::npos) return {};
    const auto fim = s.find_last_not_of(" \t\r");
    return s.substr(inicio, fim - inicio + 1);
}

[[noreturn]] void falhar(int linha, const std::string& motivo) {
    throw ErroPartitura("linha " + std::to_string(linha) + ": " + motivo);
}

int lerInteiro(const std::string& texto, int linha) {
    try {
        size_t usados = 0;
        const int valor = std::stoi(texto, &usados);
        if (usados == texto.size()) return valor;
    } catch (const std::exception&) {
    }
    falhar(linha, "número inválido: " + texto);
}

// A duration in beats: "2", "1.5", "3/2" or "1/3", converted to ticks.
int lerDuracao(const std::string& texto, int ticksPorTempo, int linha) {
    long numerador = 0, denominador = 1;
    const auto barra = texto.find('/');
    const auto ponto = texto.find('.');
    if (barra != std::string::npos) {
        numerador = lerInteiro(texto.substr(0, barra), linha);
        denominador = lerInteiro(texto.substr(barra + 1), linha);
    } else if (ponto != std::string::npos) {
        const std::string fracao = texto.substr(ponto + 1);
        numerador = lerInteiro(texto.substr(0, ponto) + fracao, linha);
        for (size_t i = 0; i < fracao.size(); ++i) denominador *= 10;
    } else {
        numerador = lerInteiro(texto, linha);
    }
    if (numerador <= 0 || denominador <= 0 || (numerador * ticksPorTempo) % denominador != 0)
        falhar(linha, "duração inválida: " + texto);
    return static_cast<int>(numerador * ticksPorTempo / denominador);
}

int classeDaLetra(char letra) {
    switch (std::tolower(static_cast<unsigned char>(letra))) {
    case 'c': return 0;
    case 'd': return 2;
    case 'e': return 4;
    case 'f': return 5;
    case 'g': return 7;
    case 'a': return 9;
    case 'b': return 11;
    default: return -1;
    }
}

// Note name such as "c4", "f#5", "bb3" (C4 is middle C) to a MIDI number.
int lerAltura(const std::string& nome, int linha) {
    if (nome.size() < 2 || classeDaLetra(nome[0]) < 0) falhar(linha, "nota inválida: " + nome);
    int classe = classeDaLetra(nome[0]);
    size_t i = 1;
    for (; i < nome.size() && (nome[i] == '#' || nome[i] == 'b'); ++i) classe += nome[i] == '#' ? 1 : -1;
    const int oitava = lerInteiro(nome.substr(i), linha);
    const int altura = (oitava + 1) * 12 + classe;
    if (altura < 0 || altura > 127) falhar(linha, "nota fora do alcance: " + nome);
    return altura;
}

// Chord symbol such as "C", "Am", "G7", "F#m7", "Bb", "Cmaj7", "Bdim", "Esus4".
Acorde lerAcorde(const std::string& simbolo, int linha) {
    Acorde acorde;
    if (simbolo == "%") return acorde;
    if (simbolo.empty() || classeDaLetra(simbolo[0]) < 0 || !std::isupper(static_cast<unsigned char>(simbolo[0])))
        falhar(linha, "acorde inválido: " + simbolo);
    int raiz = classeDaLetra(simbolo[0]);
    size_t i = 1;
    if (i < simbolo.size() && (simbolo[i] == '#' || simbolo[i] == 'b')) raiz += simbolo[i++] == '#' ? 1 : -1;
    static const std::map<std::string, std::vector<int>> qualidades = {
        {"", {0, 4, 7}},        {"m", {0, 3, 7}},       {"7", {0, 4, 7, 10}},  {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"dim", {0, 3, 6}},    {"dim7", {0, 3, 6, 9}}, {"sus4", {0, 5, 7}},
        {"6", {0, 4, 7, 9}},    {"m6", {0, 3, 7, 9}},   {"aug", {0, 4, 8}},    {"m7b5", {0, 3, 6, 10}},
    };
    const auto qualidade = qualidades.find(simbolo.substr(i));
    if (qualidade == qualidades.end()) falhar(linha, "acorde inválido: " + simbolo);
    acorde.raiz = (raiz + 12) % 12;
    acorde.intervalos = qualidade->second;
    return acorde;
}

std::vector<int> lerListaDeInteiros(const std::string& valor, int linha) {
    std::vector<int> lista;
    std::istringstream entrada(valor);
    std::string item;
    while (entrada >> item) lista.push_back(lerInteiro(item, linha));
    if (lista.empty()) falhar(linha, "valor em falta");
    return lista;
}

bool lerSimNao(const std::string& valor, int linha) {
    if (valor == "sim") return true;
    if (valor == "nao" || valor == "não") return false;
    falhar(linha, "esperado sim ou nao: " + valor);
}

void aplicarCabecalho(Partitura& p, const std::string& chave, const std::string& valor, int linha) {
    if (chave == "titulo") p.titulo = valor;
    else if (chave == "autor") p.autor = valor;
    else if (chave == "andamento") p.andamento = lerInteiro(valor, linha);
    else if (chave == "compasso") p.tempos = lerInteiro(valor, linha);
    else if (chave == "unidade") p.unidade = lerInteiro(valor, linha);
    else if (chave == "repetir") p.repeticoes = lerInteiro(valor, linha);
    else if (chave == "estilo") p.estilo = valor;
    else if (chave == "melodia") p.programasMelodia = lerListaDeInteiros(valor, linha);
    else if (chave == "acordes") p.programaAcordes = lerInteiro(valor, linha);
    else if (chave == "baixo") p.programaBaixo = lerInteiro(valor, linha);
    else if (chave == "bateria") p.bateria = lerSimNao(valor, linha);
    else if (chave == "transpor") p.transposicao = lerInteiro(valor, linha);
    else if (chave == "volume") p.volume = lerInteiro(valor, linha);
    else if (chave == "acompanhamento") p.acompanhamento = lerInteiro(valor, linha);
    else falhar(linha, "chave desconhecida: " + chave);
}

void validarCabecalho(const Partitura& p) {
    if (p.andamento < 20 || p.andamento > 300) throw ErroPartitura("andamento fora de 20..300");
    if (p.unidade != 4 && p.unidade != 8) throw ErroPartitura("unidade deve ser 4 ou 8");
    if (p.tempos < 1 || p.tempos > 12) throw ErroPartitura("compasso fora de 1..12");
    if (p.repeticoes < 1 || p.repeticoes > 8) throw ErroPartitura("repetir fora de 1..8");
    if (std::abs(p.volume) > 12 || std::abs(p.acompanhamento) > 12)
        throw ErroPartitura("volume e acompanhamento: de -12 a 12 dB");
    auto programaValido = [](int n) { return n >= 1 && n <= 128; };
    if (!std::all_of(p.programasMelodia.begin(), p.programasMelodia.end(), programaValido) ||
        !programaValido(p.programaAcordes) || !programaValido(p.programaBaixo))
        throw ErroPartitura("instrumento fora de 1..128");
}

// Tracks bar lines: every bar must be full, except a pick-up first bar and the bar that
// completes it at the very end (so repeated passes keep the bar grid).
class Compassos {
public:
    Compassos(int ticksPorCompasso, const char* parte) : compasso_(ticksPorCompasso), parte_(parte) {}

    void barra(int tempoAtual, int linha) {
        const int medida = tempoAtual - inicioDoCompasso_;
        if (fechado_) falhar(linha, std::string(parte_) + ": há música depois do compasso final");
        if (primeiro_ && medida > 0 && medida < compasso_) anacruse_ = medida;
        else if (anacruse_ > 0 && medida + anacruse_ == compasso_) fechado_ = true;
        else if (medida != compasso_)
            falhar(linha, std::string(parte_) + ": compasso com duração errada (" + std::to_string(medida) +
                              " ticks, esperado " + std::to_string(compasso_) + ")");
        primeiro_ = false;
        inicioDoCompasso_ = tempoAtual;
    }

    void fim(int tempoAtual, int linha) {
        const int medida = tempoAtual - inicioDoCompasso_;
        if (medida == 0 && (anacruse_ == 0 || fechado_)) return;
        if (medida > 0 && !fechado_) barra(tempoAtual, linha);
        if (anacruse_ > 0 && !fechado_) falhar(linha, std::string(parte_) + ": o último compasso não completa a anacruse");
    }

    int anacruse() const { return anacruse_; }

private:
    int compasso_;
    const char* parte_;
    int inicioDoCompasso_ = 0;
    int anacruse_ = 0;
    bool primeiro_ = true;
    bool fechado_ = false;
};

struct Leitura {
    int tempo = 0;
    int duracaoAnterior = kTicksPorSeminima;
};

// "nome:duração" or "nome" (the previous duration again).
void separarSimbolo(const std::string& simbolo, int ticksPorTempo, Leitura& leitura, int linha,
                    std::string& nome, int& duracao) {
    const auto doisPontos = simbolo.find(':');
    nome = simbolo.substr(0, doisPontos);
    duracao = doisPontos == std::string::npos ? leitura.duracaoAnterior
                                              : lerDuracao(simbolo.substr(doisPontos + 1), ticksPorTempo, linha);
    leitura.duracaoAnterior = duracao;
}

void lerSimboloMelodia(Partitura& p, const std::string& simbolo, Leitura& leitura, Compassos& compassos, int linha) {
    if (simbolo == "|") {
        compassos.barra(leitura.tempo, linha);
        return;
    }
    std::string nome;
    int duracao = 0;
    separarSimbolo(simbolo, p.ticksPorTempo(), leitura, linha, nome, duracao);
    if (nome == "~") {  // tie: the previous note lasts longer
        if (p.melodia.empty()) falhar(linha, "ligadura sem nota antes");
        p.melodia.back().duracao += duracao;
    } else {
        Nota nota;
        nota.inicio = leitura.tempo;
        nota.duracao = duracao;
        nota.altura = nome == "p" ? -1 : lerAltura(nome, linha) + p.transposicao;
        p.melodia.push_back(nota);
    }
    leitura.tempo += duracao;
}

void lerSimboloAcorde(Partitura& p, const std::string& simbolo, Leitura& leitura, Compassos& compassos, int linha) {
    if (simbolo == "|") {
        compassos.barra(leitura.tempo, linha);
        return;
    }
    std::string nome;
    int duracao = 0;
    separarSimbolo(simbolo, p.ticksPorTempo(), leitura, linha, nome, duracao);
    Acorde acorde = lerAcorde(nome, linha);
    if (acorde.raiz >= 0) acorde.raiz = ((acorde.raiz + p.transposicao) % 12 + 12) % 12;
    acorde.inicio = leitura.tempo;
    acorde.duracao = duracao;
    p.acordes.push_back(acorde);
    leitura.tempo += duracao;
}

}  // namespace

int Partitura::duracaoPassada() const {
    return melodia.empty() ? 0 : melodia.back().inicio + melodia.back().duracao;
}

Partitura lerPartitura(const std::string& texto) {
    Partitura p;
    std::istringstream entrada(texto);
    std::string linhaTexto, secao;
    int numero = 0, linhaFinal = 0;
    Leitura leituraMelodia, leituraAcordes;
    std::unique_ptr<Compassos> compassosMelodia, compassosAcordes;
    while (std::getline(entrada, linhaTexto)) {
        ++numero;
        const std::string linha = aparar(semComentario(linhaTexto));
        if (linha.empty()) continue;
        if (linha.front() == '[' && linha.back() == ']') {
            secao = linha.substr(1, linha.size() - 2);
            if (secao != "melodia" && secao != "acordes") falhar(numero, "seção desconhecida: " + secao);
            if (!compassosMelodia) {
                validarCabecalho(p);
                compassosMelodia = std::make_unique<Compassos>(p.ticksPorCompasso(), "melodia");
                compassosAcordes = std::make_unique<Compassos>(p.ticksPorCompasso(), "acordes");
            }
            continue;
        }
        if (secao.empty()) {
            const auto doisPontos = linha.find(':');
            if (doisPontos == std::string::npos) falhar(numero, "esperado chave: valor");
            aplicarCabecalho(p, aparar(linha.substr(0, doisPontos)), aparar(linha.substr(doisPontos + 1)), numero);
            continue;
        }
        std::istringstream simbolos(linha);
        std::string simbolo;
        while (simbolos >> simbolo) {
            if (secao == "melodia") lerSimboloMelodia(p, simbolo, leituraMelodia, *compassosMelodia, numero);
            else lerSimboloAcorde(p, simbolo, leituraAcordes, *compassosAcordes, numero);
        }
        linhaFinal = numero;
    }
    if (p.melodia.empty()) throw ErroPartitura("a partitura não tem melodia");
    compassosMelodia->fim(leituraMelodia.tempo, linhaFinal);
    compassosAcordes->fim(leituraAcordes.tempo, linhaFinal);
    if (leituraAcordes.tempo != leituraMelodia.tempo)
        throw ErroPartitura("acordes e melodia têm durações diferentes (" + std::to_string(leituraAcordes.tempo) +
                            " e " + std::to_string(leituraMelodia.tempo) + " ticks)");
    p.anacruse = compassosMelodia->anacruse();
    if (compassosAcordes->anacruse() != p.anacruse) throw ErroPartitura("acordes e melodia com anacruses diferentes");
    return p;
}
