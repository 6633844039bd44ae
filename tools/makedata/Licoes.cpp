#include "Licoes.h"
#include "Texto.h"

#include "domain/Linhas.h"

#include <algorithm>
#include <functional>
#include <set>

namespace makedata {
namespace {

// Generated lines stay a little short of the 61 columns of the practice window.
constexpr std::size_t kLarguraGerada = 56;
// Keystrokes of the first and the last basic lesson (Enter included): a beginner at 60 per
// minute finishes lesson 1 in about two minutes; the length grows evenly up to the last one.
constexpr int kTeclasPrimeiraBasica = 120;
constexpr int kTeclasUltimaBasica = 600;
constexpr int kLinhasNumerico = 12;
// Times each new capital is typed in its lesson.
constexpr int kRepeticoesMaiuscula = 3;

using Gerador = std::function<std::u32string()>;

// Tokens one after another, a blank between them, while they fit.
std::string encherLinha(const Gerador& proximo, std::size_t largura = kLarguraGerada)
{
    std::u32string linha;
    for (int tentativas = 0; tentativas < 200; ++tentativas) {
        const std::u32string token = proximo();
        const std::size_t novo = linha.size() + (linha.empty() ? 0 : 1) + token.size();
        if (novo > largura)
            break;
        linha += (linha.empty() ? U"" : U" ") + token;
    }
    return codificar(linha);
}

bool contem(const std::u32string& conjunto, char32_t c)
{
    return conjunto.find(c) != std::u32string::npos;
}

bool soCom(const std::u32string& palavra, const std::u32string& permitidas)
{
    return std::all_of(palavra.begin(), palavra.end(),
                       [&](char32_t c) { return contem(permitidas, c); });
}

bool algumDe(const std::u32string& palavra, const std::u32string& conjunto)
{
    return std::any_of(palavra.begin(), palavra.end(), [&](char32_t c) { return contem(conjunto, c); });
}

std::u32string capitalizar(std::u32string p)
{
    if (!p.empty())
        p[0] = maiuscula(p[0]);
    return p;
}

std::u32string filtrar(const std::u32string& s, const std::function<bool(char32_t)>& f)
{
    std::u32string out;
    for (char32_t c : s)
        if (f(c))
            out += c;
    return out;
}

bool ehDigito(char32_t c) { return c >= U'0' && c <= U'9'; }

// The key the home row drills use beside the letters (";" on the keyboard without Ç).
bool ehTeclaDeExercicio(char32_t c) { return ehMinuscula(c) || c == U';'; }

std::vector<std::u32string> palavrasCom(const Vocabulario& v, const std::function<bool(const std::u32string&)>& f)
{
    std::vector<std::u32string> out;
    for (const std::u32string& p : v.palavras)
        if (f(p))
            out.push_back(p);
    return out;
}

std::string numero(Sorteio& s, int digitos, const std::u32string& algarismos)
{
    std::u32string semZero = filtrar(algarismos, [](char32_t c) { return c != U'0'; });
    if (semZero.empty())
        semZero = algarismos;
    std::u32string n(1, semZero[s.ate(int(semZero.size()))]);
    while (int(n.size()) < digitos)
        n += algarismos[s.ate(int(algarismos.size()))];
    return codificar(n);
}

// ------------------------------------------------------------------ basic course drills

// "fff jjj fff jjj": each new key three times, in turn.
std::string repeticao(const std::u32string& teclas)
{
    std::size_t i = 0;
    return encherLinha([&] { return std::u32string(3, teclas[i++ % teclas.size()]); });
}

// Short groups of the new keys only: "fj jff jfj".
std::string alternancia(Sorteio& s, const std::u32string& teclas)
{
    return encherLinha([&] {
        std::u32string g;
        const int n = s.entre(2, 4);
        for (int k = 0; k < n; ++k)
            g += teclas[s.ate(int(teclas.size()))];
        return g;
    });
}

// Groups of known keys, each with at least one new key: "sdfj kjlf".
std::string mistura(Sorteio& s, const std::u32string& novas, const std::u32string& conhecidas)
{
    return encherLinha([&] {
        std::u32string g;
        const int n = s.entre(3, 5);
        for (int k = 0; k < n; ++k)
            g += conhecidas[s.ate(int(conhecidas.size()))];
        if (!novas.empty() && !algumDe(g, novas))
            g[s.ate(int(g.size()))] = novas[s.ate(int(novas.size()))];
        return g;
    });
}

// Words of the list, one in `parteDasPreferidas` drawn from the preferred ones (those with the
// new keys), never the same word twice in a row: new keys are met inside ordinary text.
std::string linhaDePalavras(Sorteio& s, const std::vector<std::u32string>& preferidas,
                            const std::vector<std::u32string>& todas, int parteDasPreferidas = 2)
{
    std::u32string anterior;
    return encherLinha([&] {
        std::u32string p;
        for (int tentativa = 0; tentativa < 8 && (p.empty() || p == anterior); ++tentativa) {
            const bool preferida = !preferidas.empty() && (todas.empty() || s.ate(parteDasPreferidas) == 0);
            p = preferida ? s.um(preferidas) : s.um(todas);
        }
        anterior = p;
        return p;
    });
}

int teclasDe(const std::vector<std::string>& linhas)
{
    int n = 0;
    for (const std::string& l : linhas)
        n += int(decodificar(l).size()) + 1;  // the Enter at the end of the line
    return n;
}

std::u32string emMaiusculas(std::u32string p)
{
    for (char32_t& c : p)
        c = maiuscula(c);
    return p;
}

// Real words that bring each new capital: a word of the list beginning with its letter, or,
// for a capital no word begins with (Ç, Ã), a word written in capitals.
std::vector<std::vector<std::u32string>> palavrasDasMaiusculas(const std::u32string& maiusculasNovas,
                                                               const std::u32string& permitidas,
                                                               const std::vector<std::u32string>& todas)
{
    std::vector<std::vector<std::u32string>> porMaiuscula;
    for (char32_t m : maiusculasNovas) {
        std::vector<std::u32string> iniciais, inteiras;
        for (const std::u32string& w : todas) {
            if (maiuscula(w[0]) == m && w[0] != m)
                iniciais.push_back(capitalizar(w));
            else if (std::any_of(w.begin(), w.end(), [&](char32_t c) { return maiuscula(c) == m && c != m; })
                     && soCom(emMaiusculas(w), permitidas))
                inteiras.push_back(emMaiusculas(w));
        }
        porMaiuscula.push_back(iniciais.empty() ? inteiras : iniciais);
    }
    return porMaiuscula;
}

std::u32string pontuar(Sorteio& s, char32_t sinal, const std::vector<std::u32string>& palavras)
{
    const std::u32string p = s.um(palavras);
    switch (sinal) {
    case U'(':
    case U')':
        return U"(" + p + U")";
    case U'"':
        return U"\"" + p + U"\"";
    case U'\'':
        return U"'" + p + U"'";
    case U'-':
        return p + U"-" + s.um(palavras);
    default:
        return p + sinal;
    }
}

// The short phrases a lesson can write: with a capital and a full stop once those are taught.
std::vector<std::u32string> frasesPossiveis(const Vocabulario& v, const std::u32string& permitidas)
{
    std::vector<std::u32string> possiveis;
    for (const std::u32string& f : v.frases) {
        std::u32string escrita = soCom(capitalizar(f).substr(0, 1), permitidas) ? capitalizar(f) : f;
        if (contem(permitidas, U'.'))
            escrita += U'.';
        if (soCom(escrita, permitidas))
            possiveis.push_back(escrita);
    }
    return possiveis;
}

// One phrase, or two when they fit and a full stop divides them; each phrase once per lesson.
std::string linhaDeFrases(Sorteio& s, std::vector<std::u32string>& frases, bool comPonto)
{
    std::u32string linha;
    while (!frases.empty()) {
        const std::size_t i = std::size_t(s.ate(int(frases.size())));
        const std::u32string f = frases[i];
        if (!linha.empty() && linha.size() + 1 + f.size() > kLarguraGerada)
            break;
        linha += (linha.empty() ? U"" : U" ") + f;
        frases.erase(frases.begin() + std::ptrdiff_t(i));
        if (!comPonto)
            break;
    }
    return codificar(linha);
}

int teclasDaLicaoBasica(int licao, int ultima)
{
    if (ultima <= 1)
        return kTeclasPrimeiraBasica;
    return kTeclasPrimeiraBasica + (licao - 1) * (kTeclasUltimaBasica - kTeclasPrimeiraBasica) / (ultima - 1);
}

// Drills of letter groups only where a lesson brings new letter keys; every other line is
// made of words of the list, so the student types real Portuguese from early on.
std::vector<std::string> linhasBasico(const PlanoBasico& p, int teclasAlvo, const Vocabulario& v, Sorteio& s)
{
    // ";" is drilled with the home row it sits on; taught alone it is punctuation.
    const bool trazLetras = std::any_of(p.novas.begin(), p.novas.end(), ehMinuscula);
    const auto ehDeTreino = [&](char32_t c) { return trazLetras && ehTeclaDeExercicio(c); };
    const std::u32string letrasNovas = filtrar(p.novas, ehDeTreino);
    const std::u32string maiusculasNovas = filtrar(p.novas, ehMaiuscula);
    const std::u32string digitosNovos = filtrar(p.novas, ehDigito);
    const std::u32string sinaisNovos = filtrar(p.novas, [&](char32_t c) {
        return !ehDeTreino(c) && !ehMaiuscula(c) && !ehDigito(c);
    });
    const std::u32string letrasSimples = filtrar(p.permitidas, [](char32_t c) { return c < 0x80 && ehMinuscula(c); });
    const std::u32string digitos = filtrar(p.permitidas, ehDigito);
    // Accented letters are practised inside words, never heaped in a drill.
    const std::u32string teclasDeTreino = filtrar(letrasNovas, [](char32_t c) { return c < 0x80 || c == U'ç'; });

    const auto todas = palavrasCom(v, [&](const std::u32string& w) { return soCom(w, p.permitidas); });
    const auto preferidas = palavrasCom(v, [&](const std::u32string& w) {
        return soCom(w, p.permitidas) && algumDe(w, letrasNovas);
    });

    std::vector<std::string> linhas;
    if (!teclasDeTreino.empty()) {
        linhas.push_back(repeticao(teclasDeTreino));
        linhas.push_back(alternancia(s, teclasDeTreino));
        if (letrasSimples.size() > teclasDeTreino.size())
            linhas.push_back(mistura(s, teclasDeTreino, letrasSimples + filtrar(teclasDeTreino, ehTeclaDeExercicio)));
    }
    if (!maiusculasNovas.empty()) {
        const auto porMaiuscula = palavrasDasMaiusculas(maiusculasNovas, p.permitidas, todas);
        std::vector<std::u32string> sequencia;
        for (int volta = 0; volta < kRepeticoesMaiuscula; ++volta)
            for (const auto& candidatas : porMaiuscula)
                if (!candidatas.empty())
                    sequencia.push_back(s.um(candidatas));
        std::size_t i = 0;
        while (i < sequencia.size())
            linhas.push_back(encherLinha([&]() -> std::u32string {
                return i < sequencia.size() ? sequencia[i++] : std::u32string(kLarguraGerada + 1, U' ');
            }));
    }
    if (!digitosNovos.empty()) {
        linhas.push_back(repeticao(digitosNovos));
        for (int k = 0; k < 2; ++k)
            linhas.push_back(encherLinha([&] {
                return s.ate(2) ? decodificar(numero(s, s.entre(1, 4), digitos)) : s.um(todas);
            }));
    }
    for (char32_t sinal : sinaisNovos)
        for (int k = 0; k < 2; ++k)
            linhas.push_back(encherLinha([&] {
                return s.ate(3) ? pontuar(s, sinal, todas) : s.um(todas);
            }));

    const int teclasDasFrases = teclasDe(p.frases);
    const bool soAcentos = !letrasNovas.empty() && teclasDeTreino.empty();
    std::vector<std::u32string> frases = frasesPossiveis(v, p.permitidas);
    while (teclasDe(linhas) + teclasDasFrases < teclasAlvo || linhas.empty()) {
        if (todas.size() < 4)  // the first lessons: no word can be written with their keys yet
            linhas.push_back(mistura(s, teclasDeTreino.empty() ? letrasSimples : teclasDeTreino, letrasSimples));
        else if (!frases.empty() && s.ate(2) == 0)
            linhas.push_back(linhaDeFrases(s, frases, contem(p.permitidas, U'.')));
        else
            linhas.push_back(linhaDePalavras(s, preferidas, todas, soAcentos ? 4 : 2));
    }
    linhas.insert(linhas.end(), p.frases.begin(), p.frases.end());
    return linhas;
}

// ------------------------------------------------------------------ advanced course

std::string milhares(long long n)
{
    std::string d = std::to_string(n);
    for (int i = int(d.size()) - 3; i > 0; i -= 3)
        d.insert(std::size_t(i), ".");
    return d;
}

std::string doisDigitos(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::u32string u(const std::string& s) { return decodificar(s); }

std::string telefone(Sorteio& s)
{
    return "(" + std::to_string(s.entre(11, 99)) + ") " + std::to_string(s.entre(2000, 9999)) + "-"
        + std::to_string(s.entre(1000, 9999));
}

std::u32string conta(Sorteio& s)
{
    const int a = s.entre(2, 99), b = s.entre(2, 12);
    switch (s.ate(5)) {
    case 0: return u(std::to_string(a) + " + " + std::to_string(b) + " = " + std::to_string(a + b));
    case 1: return u(std::to_string(a + b) + " - " + std::to_string(b) + " = " + std::to_string(a));
    case 2: return u(std::to_string(a) + " * " + std::to_string(b) + " = " + std::to_string(a * b));
    case 3: return u(std::to_string(a * b) + " / " + std::to_string(b) + " = " + std::to_string(a));
    default: {
        const int c = s.entre(2, 5);
        return u("(" + std::to_string(a) + " + " + std::to_string(b) + ") * " + std::to_string(c) + " = "
                 + std::to_string((a + b) * c));
    }
    }
}

std::u32string simbolo(Sorteio& s, const std::vector<std::u32string>& curtas)
{
    const std::u32string a = s.um(curtas), b = s.um(curtas);
    const std::u32string n = u(std::to_string(s.entre(1, 99)));
    switch (s.ate(16)) {
    case 0: return U"#" + a;
    case 1: return U"@" + a;
    case 2: return a + U" & " + b;
    case 3: return U"[" + a + U"]";
    case 4: return U"{" + a + U"}";
    case 5: return U"<" + a + U">";
    case 6: return a + U"_" + b;
    case 7: return a + U" = " + n;
    case 8: return n + U"%";
    case 9: return U"$" + n;
    case 10: return a + U"/" + b;
    case 11: return U"\"" + a + U"\"";
    case 12: return U"(" + a + U")";
    case 13: return a + U"!";
    case 14: return a + U"?";
    default: return a + U" * " + n;
    }
}

std::u32string endereco(Sorteio& s, const std::vector<std::u32string>& curtas)
{
    switch (s.ate(3)) {
    // Domains reserved for examples: no real provider or site is named.
    case 0: return s.um(curtas) + U"." + s.um(curtas) + U"@example.com";
    case 1: return U"www." + s.um(curtas) + U".example.org";
    default: return u(telefone(s));
    }
}

std::vector<std::string> linhasDoTipo(const std::string& tipo, const Vocabulario& v, Sorteio& s)
{
    const auto longas = palavrasCom(v, [](const std::u32string& w) { return w.size() >= 7; });
    const auto acentuadas = palavrasCom(v, [](const std::u32string& w) {
        return std::any_of(w.begin(), w.end(), [](char32_t c) { return c >= 0x80; });
    });
    const auto curtas = palavrasCom(v, [](const std::u32string& w) {
        return w.size() >= 3 && w.size() <= 6
            && std::all_of(w.begin(), w.end(), [](char32_t c) { return c < 0x80; });
    });

    Gerador g;
    if (tipo == "palavras") {
        g = [&] { return s.um(longas); };
    } else if (tipo == "acentos") {
        g = [&] { return s.um(acentuadas); };
    } else if (tipo == "maiusculas") {
        g = [&] { return s.um(v.nomes); };
    } else if (tipo == "numeros") {
        g = [&] { return u(milhares(s.entre(1, 999) * (s.ate(2) ? 1 : s.entre(1, 999)))); };
    } else if (tipo == "datas") {
        g = [&] {
            if (s.ate(3))
                return u(doisDigitos(s.entre(1, 28)) + "/" + doisDigitos(s.entre(1, 12)) + "/"
                         + std::to_string(s.entre(2020, 2030)));
            return u(std::to_string(s.entre(6, 22)) + "h" + doisDigitos(s.ate(12) * 5));
        };
    } else if (tipo == "precos") {
        g = [&] {
            if (s.ate(3))
                return u("R$ " + milhares(s.entre(1, 2500)) + "," + doisDigitos(s.ate(100)));
            return u(std::to_string(s.entre(1, 99)) + (s.ate(2) ? "" : "," + std::to_string(s.entre(1, 9))) + "%");
        };
    } else if (tipo == "simbolos") {
        g = [&] { return simbolo(s, curtas); };
    } else if (tipo == "contas") {
        g = [&] { return conta(s); };
    } else if (tipo == "enderecos") {
        g = [&] { return endereco(s, curtas); };
    } else {
        throw ErroFonte("curso avançado: tipo de exercício desconhecido: " + tipo);
    }
    // The same item twice in a row reads like a mistake.
    std::u32string anterior;
    const Gerador semRepetir = [&] {
        std::u32string item = g();
        for (int tentativa = 0; tentativa < 8 && item == anterior; ++tentativa)
            item = g();
        anterior = item;
        return item;
    };
    return {encherLinha(semRepetir), encherLinha(semRepetir)};
}

// ------------------------------------------------------------------ numeric keypad course

std::string numeroDoTeclado(Sorteio& s, const std::string& modo, int minimo, int maximo,
                            const std::u32string& algarismos, const std::u32string& operacoes,
                            bool temVirgula)
{
    const int digitos = s.entre(minimo, maximo);
    if (modo == "decimais" && temVirgula) {
        const int inteiros = std::max(1, digitos - s.entre(1, 2));
        return numero(s, inteiros, algarismos) + "," + numero(s, digitos - inteiros > 0 ? digitos - inteiros : 1, algarismos);
    }
    if (modo == "contas" && !operacoes.empty()) {
        const char32_t op = operacoes[s.ate(int(operacoes.size()))];
        // A blank is typed as Enter on the keypad: an expression is written in one piece.
        return numero(s, digitos, algarismos) + codificar(op) + numero(s, s.entre(minimo, maximo), algarismos);
    }
    if (modo == "misto") {
        const char* modos[] = {"numeros", "decimais", "contas"};
        return numeroDoTeclado(s, modos[s.ate(3)], minimo, maximo, algarismos, operacoes, temVirgula);
    }
    return numero(s, digitos, algarismos);
}

std::string juntarParagrafo(const std::vector<std::string>& paragrafos) { return juntar(paragrafos, " "); }

} // namespace

// ==================================================================== public

void evitarLinhaCheia(Licao& l)
{
    std::vector<std::string> linhas;
    for (const std::string& linha : l.linhas) {
        const std::vector<std::string> divididas = dominio::dividirLinhas(linha);
        const bool cheia = std::any_of(divididas.begin(), divididas.end(), [](const std::string& d) {
            return decodificar(d).size() == dominio::kLarguraLinha;
        });
        if (!cheia) {
            linhas.push_back(linha);
            continue;
        }
        const std::vector<std::string> curtas = dominio::dividirLinhas(linha, dominio::kLarguraLinha - 1);
        linhas.insert(linhas.end(), curtas.begin(), curtas.end());
    }
    l.linhas = linhas;
}

uint32_t Sorteio::proximo()
{
    estado_ ^= estado_ << 13;
    estado_ ^= estado_ >> 7;
    estado_ ^= estado_ << 17;
    return uint32_t(estado_ >> 32);
}

int Sorteio::ate(int n) { return n <= 0 ? 0 : int(proximo() % uint32_t(n)); }

int Sorteio::entre(int de, int ate_) { return de + ate(ate_ - de + 1); }

Vocabulario lerVocabulario(const std::string& arquivoPalavras, const std::string& arquivoFrases,
                           const std::string& arquivoNomes)
{
    Vocabulario v;
    std::set<std::u32string> vistas;
    for (const std::string& linha : lerLinhas(arquivoPalavras, false)) {
        const std::u32string p = decodificar(aparar(linha));
        if (vistas.insert(p).second)
            v.palavras.push_back(p);
    }
    for (const std::string& linha : lerLinhas(arquivoFrases, false)) {
        for (const std::string& palavra : palavras(linha))
            if (!vistas.count(decodificar(palavra)))
                throw ErroFonte(arquivoFrases + ": \"" + palavra + "\" não está na lista de palavras");
        v.frases.push_back(decodificar(juntar(palavras(linha), " ")));
    }
    for (const std::string& linha : lerLinhas(arquivoNomes, false))
        v.nomes.push_back(decodificar(aparar(linha)));
    return v;
}

std::vector<PlanoBasico> planoBasico(const std::vector<Bloco>& blocos, Modelo modelo)
{
    std::vector<PlanoBasico> plano;
    std::u32string permitidas = U" ";
    for (const Bloco& b : blocos) {
        PlanoBasico p;
        p.licao = b.licao;
        std::string novas = b.valor("novas") + " " + b.valor(modelo == Modelo::Abnt2 ? "abnt2" : "eua");
        for (const std::string& tecla : palavras(novas)) {
            const std::u32string t = decodificar(tecla);
            if (t.size() != 1)
                throw ErroFonte("curso básico, lição " + std::to_string(b.licao) + ": tecla inválida: " + tecla);
            p.novas += t;
        }
        permitidas += p.novas;
        p.permitidas = permitidas;
        p.frases = b.valores("frase");
        plano.push_back(p);
    }
    return plano;
}

std::vector<Licao> gerarBasico(const std::vector<PlanoBasico>& plano, const Vocabulario& v)
{
    std::vector<Licao> licoes;
    for (const PlanoBasico& p : plano) {
        Sorteio s(uint64_t(1000 + p.licao));
        const int alvo = teclasDaLicaoBasica(p.licao, int(plano.size()));
        licoes.push_back({"Básico", p.licao, linhasBasico(p, alvo, v, s)});
    }
    return licoes;
}

std::vector<Licao> gerarAvancado(const std::vector<Bloco>& blocos, const Vocabulario& v)
{
    std::vector<Licao> licoes;
    for (const Bloco& b : blocos) {
        Sorteio s(uint64_t(2000 + b.licao));
        Licao l{"Avançado", b.licao, {}};
        for (const std::string& tipo : palavras(b.valor("gerar"))) {
            const std::vector<std::string> linhas = linhasDoTipo(tipo, v, s);
            l.linhas.insert(l.linhas.end(), linhas.begin(), linhas.end());
        }
        for (const std::string& f : b.valores("frase"))
            l.linhas.push_back(f);
        for (const std::string& p : b.valores("paragrafo"))
            l.linhas.push_back(p);
        licoes.push_back(l);
    }
    return licoes;
}

std::vector<Licao> gerarTextos(const std::vector<Bloco>& blocos)
{
    std::vector<Licao> licoes;
    for (const Bloco& b : blocos) {
        Licao l{"Textos", b.licao, {}};
        std::vector<std::string> paragrafo;
        auto fechar = [&] {
            if (!paragrafo.empty())
                l.linhas.push_back(juntarParagrafo(paragrafo));
            paragrafo.clear();
        };
        for (const std::string& linha : b.linhas) {
            if (aparar(linha).empty())
                fechar();
            else
                paragrafo.push_back(aparar(linha));
        }
        fechar();
        licoes.push_back(l);
    }
    return licoes;
}

std::vector<Licao> gerarNumerico(const std::vector<Bloco>& blocos)
{
    std::vector<Licao> licoes;
    std::u32string conhecidas;
    for (const Bloco& b : blocos) {
        std::u32string novas;
        for (const std::string& t : palavras(b.valor("novas")))
            novas += decodificar(t);
        conhecidas += novas;
        // The new keys count three times, so the lesson dwells on them.
        const std::u32string peso = conhecidas + novas + novas;
        const std::u32string algarismos = filtrar(peso, ehDigito);
        const std::u32string operacoes = filtrar(peso, [](char32_t c) {
            return c == U'/' || c == U'*' || c == U'-' || c == U'+';
        });
        const bool temVirgula = contem(conhecidas, U',');
        const std::string modo = b.valor("modo");
        const std::string faixa = b.valor("digitos");
        const std::size_t traco = faixa.find('-');
        if (modo.empty() || traco == std::string::npos)
            throw ErroFonte("curso numérico, lição " + std::to_string(b.licao) + ": falta modo ou digitos");
        const int minimo = std::stoi(faixa.substr(0, traco));
        const int maximo = std::stoi(faixa.substr(traco + 1));

        Sorteio s(uint64_t(4000 + b.licao));
        Licao l{"Numérico", b.licao, {}};
        const std::vector<std::string> frases = b.valores("frase");
        const int geradas = kLinhasNumerico - int(frases.size());
        for (int k = 0; k < geradas; ++k)
            l.linhas.push_back(encherLinha([&] {
                return decodificar(numeroDoTeclado(s, modo, minimo, maximo, algarismos, operacoes, temVirgula));
            }, 48));
        l.linhas.insert(l.linhas.end(), frases.begin(), frases.end());
        licoes.push_back(l);
    }
    return licoes;
}

} // namespace makedata
