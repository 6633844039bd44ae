#include "NomesTeclas.h"

#include "DesenhoTeclado.h"
#include "EstatisticaTeclas.h"
#include "xbase/Codepage.h"

#include <algorithm>
#include <map>

namespace dominio {
namespace {

// The accented letters of the keyboards' dead keys: letter, bare letter, accent.
const std::u32string kAcentuadas = U"áàâãäéèêëíìîïóòôõöúùûüñýÿ";
const std::u32string kBases = U"aaaaaeeeeiiiiooooouuuunyy";
const std::u32string kAcentos = U"´`^~¨´`^¨´`^¨´`^~¨´`^¨~´¨";

const std::map<char32_t, const char*>& nomesDosSinais()
{
    static const std::map<char32_t, const char*> nomes = {
        {U' ', "espaço"}, {U'\r', "Enter"}, {U'\t', "Tab"}, {U',', "vírgula"}, {U'.', "ponto"},
        {U';', "ponto e vírgula"}, {U':', "dois pontos"}, {U'!', "exclamação"}, {U'?', "interrogação"},
        {U'-', "hífen"}, {U'_', "sublinhado"}, {U'"', "aspas"}, {U'\'', "apóstrofo"},
        {U'(', "abre parêntese"}, {U')', "fecha parêntese"}, {U'[', "abre colchete"},
        {U']', "fecha colchete"}, {U'{', "abre chave"}, {U'}', "fecha chave"}, {U'/', "barra"},
        {U'\\', "barra invertida"}, {U'|', "barra vertical"}, {U'@', "arroba"}, {U'#', "cerquilha"},
        {U'$', "cifrão"}, {U'%', "por cento"}, {U'&', "e comercial"}, {U'*', "asterisco"},
        {U'+', "mais"}, {U'=', "igual"}, {U'<', "menor que"}, {U'>', "maior que"},
        {U'´', "acento agudo"}, {U'`', "acento grave"}, {U'^', "acento circunflexo"}, {U'~', "til"},
        {U'¨', "trema"}, {U'ç', "cê-cedilha"}, {U'Ç', "cê-cedilha maiúsculo"}, {U'ª', "ordinal feminino"},
        {U'º', "ordinal masculino"}, {U'§', "parágrafo"}, {U'°', "grau"},
    };
    return nomes;
}

bool maiuscula(char32_t c) { return minusculaLatin1(c) != c; }

const char* nomeDoDedo(Dedo d)
{
    switch (d) {
    case Dedo::Polegar: return "polegar";
    case Dedo::Indicador: return "indicador";
    case Dedo::Medio: return "médio";
    case Dedo::Anular: return "anular";
    case Dedo::Minimo: return "mínimo";
    }
    return "";
}

// A key of a drawing and whether it needs Shift for the character.
struct Posicao {
    const PainelTecla* painel = nullptr;
    bool shift = false;
};

Posicao achar(const DesenhoTeclado& d, char32_t c)
{
    for (const auto& [tecla, caracteres] : d.caracteres)
        for (std::size_t i = 0; i < caracteres.size() && i < 2; ++i)
            if (xbase::utf8ToCodepoints(caracteres[i]) == std::u32string(1, c))
                for (const PainelTecla& p : d.paineis)
                    if (p.tecla == tecla) return {&p, i == 1};
    return {};
}

// The hands are drawn apart: in each row the widest gap between two keys parts them. The
// keypad is typed with the right hand.
bool maoEsquerda(const DesenhoTeclado& d, const PainelTecla& p)
{
    if (!d.nome.empty() && d.nome.back() == 'n') return false;
    std::vector<const PainelTecla*> fileira;
    for (const PainelTecla& q : d.paineis)
        if (q.y == p.y) fileira.push_back(&q);
    std::sort(fileira.begin(), fileira.end(), [](auto* a, auto* b) { return a->x < b->x; });
    int maiorVao = -1, divisa = 0;
    for (std::size_t i = 1; i < fileira.size(); ++i) {
        const int vao = fileira[i]->x - (fileira[i - 1]->x + fileira[i - 1]->largura);
        if (vao > maiorVao) maiorVao = vao, divisa = fileira[i]->x;
    }
    return p.x < divisa;
}

bool letra(char32_t c)
{
    const char32_t m = minusculaLatin1(c);
    return (m >= U'a' && m <= U'z') || (m >= 0xE0 && m <= 0xFE && m != 0xF7);
}

// A letter's key is named by its capital, as its cap shows it; any other by its name.
std::string tampa(char32_t c) { return letra(c) ? utf8(minusculaLatin1(c) - 32) : nomeFalado(c); }

std::string ondeFica(const DesenhoTeclado& d, char32_t c)
{
    const Posicao pos = achar(d, c);
    if (!pos.painel) return nomeFalado(c);
    std::string r = tampa(c) + ", " + nomeDoDedo(pos.painel->dedo);
    const bool esquerda = maoEsquerda(d, *pos.painel);
    if (pos.painel->dedo != Dedo::Polegar) r += esquerda ? " esquerdo" : " direito";
    if (pos.shift) r += esquerda ? ", com o Shift direito" : ", com o Shift esquerdo";
    return r;
}

} // namespace

char32_t minusculaLatin1(char32_t c)
{
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    return c;
}

bool decomporAcento(char32_t c, char32_t& base, char32_t& acento)
{
    const std::size_t i = kAcentuadas.find(minusculaLatin1(c));
    if (i == std::u32string::npos) return false;
    base = kBases[i];
    acento = kAcentos[i];
    return true;
}

std::vector<char32_t> caracteresDoAcento(char32_t acento)
{
    if (acento == U'´') return {acento, U'\''};
    if (acento == U'¨') return {acento, U'"'};
    return {acento};
}

std::string nomeFalado(char32_t c)
{
    if (const auto n = nomesDosSinais().find(c); n != nomesDosSinais().end()) return n->second;
    char32_t base = 0, acento = 0;
    const std::string maiusculo = maiuscula(c) ? " maiúsculo" : "";
    if (decomporAcento(c, base, acento))
        return utf8(maiuscula(c) ? base - 32 : base) + maiusculo + " com " + nomesDosSinais().at(acento);
    return utf8(c) + maiusculo;
}

std::string soletrar(char32_t c)
{
    char32_t base = 0, acento = 0;
    if (!decomporAcento(c, base, acento)) return nomeFalado(c);
    return std::string(nomesDosSinais().at(acento)) + ", depois " + nomeFalado(maiuscula(c) ? base - 32 : base);
}

std::string dedoDaTecla(const DesenhoTeclado& d, char32_t c)
{
    if (achar(d, c).painel) return ondeFica(d, c);
    char32_t base = 0, acento = 0;
    if (!decomporAcento(c, base, acento)) return nomeFalado(c);
    std::string primeira = nomeFalado(acento);
    for (char32_t a : caracteresDoAcento(acento))
        if (achar(d, a).painel) {
            primeira = ondeFica(d, a);
            break;
        }
    return primeira + "; depois " + ondeFica(d, maiuscula(c) ? base - 32 : base);
}

} // namespace dominio
