#include "ListaAlunos.h"

#include "Cursos.h"
#include "Linhas.h"
#include "xbase/Codepage.h"

#include <algorithm>

namespace dominio {

namespace {

constexpr std::size_t kMaiorArquivo = 1 << 20;  // a class list is a few hundred bytes
constexpr std::size_t kLarguraNome = 20;

bool utf8Valido(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t seguintes = 0;
        if (c >= 0xF0 && c <= 0xF4) seguintes = 3;
        else if (c >= 0xE0) seguintes = 2;
        else if (c >= 0xC2) seguintes = 1;
        else if (c >= 0x80) return false;
        if (c > 0xF4 || i + seguintes >= s.size() + (seguintes == 0)) return false;
        for (std::size_t k = 1; k <= seguintes; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += seguintes + 1;
    }
    return true;
}

std::vector<std::string> dividirLinhasArquivo(const std::string& texto)
{
    std::vector<std::string> linhas;
    std::string atual;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '\r' || c == '\n') {
            linhas.push_back(atual);
            atual.clear();
            if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
        } else {
            atual += c;
        }
    }
    if (!atual.empty()) linhas.push_back(atual);
    return linhas;
}

constexpr char kSeparadores[] = {';', '\t', ','};

// The separator of the file is the one most of its lines hold (";" before tab before ",").
char separadorDoArquivo(const std::vector<std::string>& linhas)
{
    char escolhido = ';';
    std::size_t maisLinhas = 0;
    for (char c : kSeparadores) {
        const auto n = std::size_t(std::count_if(linhas.begin(), linhas.end(),
                                                 [c](const std::string& l) { return l.find(c) != std::string::npos; }));
        if (n > maisLinhas) {
            escolhido = c;
            maisLinhas = n;
        }
    }
    return escolhido;
}

// A line without the file's separator that holds another was written apart (a row typed in
// by hand): its own separator divides it, so that its type and level are not taken as a name.
char separadorDaLinha(const std::string& linha, char doArquivo)
{
    if (linha.find(doArquivo) != std::string::npos) return doArquivo;
    for (char c : kSeparadores)
        if (linha.find(c) != std::string::npos) return c;
    return doArquivo;
}

// Cells of one line; a cell in double quotes may hold the separator and doubled quotes.
std::vector<std::string> celulas(const std::string& linha, char separador)
{
    std::vector<std::string> lista(1);
    bool entreAspas = false;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        const char c = linha[i];
        std::string& atual = lista.back();
        if (entreAspas) {
            if (c == '"' && i + 1 < linha.size() && linha[i + 1] == '"') {
                atual += '"';
                ++i;
            } else if (c == '"') {
                entreAspas = false;
            } else {
                atual += c;
            }
        } else if (c == '"' && aparar(atual).empty()) {
            atual.clear();
            entreAspas = true;
        } else if (c == separador) {
            lista.emplace_back();
        } else {
            atual += c;
        }
    }
    for (std::string& c : lista) c = aparar(c);
    return lista;
}

// Upper case without accents, to recognise "basico" or "INTERMEDIARIO" in a teacher's list.
std::string chave(const std::string& texto)
{
    std::u32string s = xbase::utf8ToCodepoints(maiusculasCp1252(texto));
    for (char32_t& c : s) {
        if (c >= 0xC0 && c <= 0xC5) c = 'A';
        else if (c >= 0xC8 && c <= 0xCB) c = 'E';
        else if (c >= 0xCC && c <= 0xCF) c = 'I';
        else if ((c >= 0xD2 && c <= 0xD6)) c = 'O';
        else if (c >= 0xD9 && c <= 0xDC) c = 'U';
        else if (c == 0xC7) c = 'C';
    }
    return xbase::codepointsToUtf8(s);
}

// The entry of the list that matches `texto`, or "" when none does.
std::string escolha(const std::string& texto, const std::vector<std::string>& lista)
{
    for (const std::string& item : lista)
        if (chave(item) == chave(texto)) return item;
    return {};
}

std::vector<std::string> nomesDosTipos()
{
    std::vector<std::string> nomes;
    for (const TipoCurso& t : tiposCurso()) nomes.emplace_back(t.nome);
    return nomes;
}

bool ehCabecalho(const std::string& primeiraCelula)
{
    const std::string k = chave(primeiraCelula);
    return k == "NOME" || k == "ALUNO" || k == "NOME DO ALUNO";
}

std::string cortarNome(const std::string& nome, bool& cortado)
{
    std::u32string s = xbase::utf8ToCodepoints(nome);
    cortado = s.size() > kLarguraNome;
    if (cortado) s.resize(kLarguraNome);
    return aparar(xbase::codepointsToUtf8(s));
}

} // namespace

std::string maiusculasCp1252(const std::string& utf8)
{
    std::u32string s = xbase::utf8ToCodepoints(utf8);
    for (char32_t& c : s) {
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
        else if (c == 0x161) c = 0x160;  // š
        else if (c == 0x153) c = 0x152;  // œ
        else if (c == 0x17E) c = 0x17D;  // ž
        else if (c == 0xFF) c = 0x178;   // ÿ
    }
    return xbase::codepointsToUtf8(s);
}

PlanoImportacao planejarImportacao(const std::string& bytes, const std::vector<std::string>& existentes,
                                   int limite)
{
    PlanoImportacao plano;
    if (bytes.size() > kMaiorArquivo) {
        plano.erro = "O arquivo é grande demais para uma lista de alunos.";
        return plano;
    }
    if (bytes.find('\0') != std::string::npos) {
        plano.erro = "O arquivo não é um texto: não parece uma lista de alunos.";
        return plano;
    }
    std::string texto = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
    if (!utf8Valido(texto)) texto = xbase::toUtf8(texto);  // saved by a spreadsheet in Windows-1252

    const std::vector<std::string> linhas = dividirLinhasArquivo(texto);
    const char separador = separadorDoArquivo(linhas);
    std::vector<std::string> nomes = existentes;
    bool primeira = true;

    for (std::size_t n = 0; n < linhas.size(); ++n) {
        const std::vector<std::string> c = celulas(linhas[n], separadorDaLinha(linhas[n], separador));
        if (c[0].empty()) continue;
        const bool cabecalho = primeira && ehCabecalho(c[0]);
        primeira = false;
        if (cabecalho) continue;

        const int numero = int(n) + 1;
        auto recusar = [&](const std::string& motivo) { plano.recusados.push_back({numero, c[0], motivo}); };

        AlunoDaLista a;
        a.linha = numero;
        if (c[0].find('"') != std::string::npos) {
            recusar("o nome não pode conter aspas (\")");
            continue;
        }
        if (!xbase::isRepresentable(c[0])) {
            recusar("o nome tem caracteres que não podem ser gravados");
            continue;
        }
        a.nome = cortarNome(maiusculasCp1252(c[0]), a.cortado);
        if (c.size() > 1 && !c[1].empty()) {
            a.tipo = escolha(c[1], nomesDosTipos());
            if (a.tipo.empty()) {
                recusar("tipo de lição desconhecido: " + c[1]);
                continue;
            }
        }
        if (c.size() > 2 && !c[2].empty()) {
            a.nivel = escolha(c[2], niveis());
            if (a.nivel.empty()) {
                recusar("nível desconhecido: " + c[2]);
                continue;
            }
        }
        if (std::find(nomes.begin(), nomes.end(), a.nome) != nomes.end()) {
            const bool daLista = std::find(existentes.begin(), existentes.end(), a.nome) == existentes.end();
            recusar(daLista ? "nome repetido na lista" : "este nome já existe");
            continue;
        }
        if (int(nomes.size()) >= limite) {
            recusar("limite de " + std::to_string(limite) + " alunos atingido");
            continue;
        }
        nomes.push_back(a.nome);
        plano.aceitos.push_back(a);
    }
    if (plano.aceitos.empty() && plano.recusados.empty()) plano.erro = "O arquivo não tem nenhum nome de aluno.";
    return plano;
}

} // namespace dominio
