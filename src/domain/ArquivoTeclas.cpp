#include "ArquivoTeclas.h"
#include "LinhasDoAluno.h"

#include "xbase/Codepage.h"
#include "xbase/File.h"
#include "xbase/Table.h"


namespace dominio {
namespace {

using xbase::FieldDef;
using xbase::FieldType;

enum Campo { kNome, kTipo, kLicao, kData, kTeclas };

std::string caminho(const std::string& dir) { return xbase::joinPath(dir, esquemaTeclas().arquivo); }

// One line per character: its code, right, wrong, milliseconds on the right ones, the code
// of the character typed instead most often (0 when none) and how often.
std::string textoFiguras(const EstatisticaTeclas& figuras)
{
    std::string r;
    for (const auto& [c, f] : figuras.figuras()) {
        for (long long n : {(long long)c, f.acertos, f.erros, f.tempoMs, (long long)f.trocaMaisComum(), f.vezesTroca()}) {
            r += std::to_string(n);
            r += ' ';
        }
        r.back() = '\n';
    }
    return r;
}

// Reads the lines back; a damaged line is skipped. Digits are read by hand: the library's
// locale-aware reading was most of the time of the "Teclas" window.
void somarTexto(const std::string& texto, EstatisticaTeclas& r)
{
    const char* p = texto.c_str();
    while (*p) {
        unsigned long long n[6] = {};  // unsigned: absurd digits in a damaged file wrap, never overflow
        int lidos = 0;
        for (; lidos < 6; ++lidos) {
            while (*p == ' ') ++p;
            if (*p < '0' || *p > '9') break;
            while (*p >= '0' && *p <= '9') n[lidos] = n[lidos] * 10 + (*p++ - '0');
        }
        if (lidos == 6 && n[0] > 0) {
            FiguraTecla& f = r.figura(char32_t(n[0]));
            f.acertos += (long long)n[1];
            f.erros += (long long)n[2];
            f.tempoMs += (long long)n[3];
            if (n[4] > 0 && n[5] > 0) f.trocas[char32_t(n[4])] += (long long)n[5];
        }
        while (*p && *p != '\n') ++p;
        if (*p) ++p;
    }
}

// The date in the engine's date format (tokens d, dd, M, MM, yy, yyyy).
std::string textoData(int ano, int mes, int dia)
{
    const std::string& f = xbase::environment().dateFormat;
    auto dois = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    std::string r;
    for (std::size_t i = 0; i < f.size();) {
        std::size_t n = 1;
        while (i + n < f.size() && f[i + n] == f[i]) ++n;
        const char c = f[i];
        if (c == 'd') r += n >= 2 ? dois(dia) : std::to_string(dia);
        else if (c == 'M') r += n >= 2 ? dois(mes) : std::to_string(mes);
        else if (c == 'y') r += n >= 4 ? std::to_string(ano) : dois(ano % 100);
        else r += f.substr(i, n);
        i += n;
    }
    return r;
}

} // namespace

const EsquemaTabela& esquemaTeclas()
{
    static const EsquemaTabela e{"Teclas.dbf",
                                 {{"NOME", FieldType::Character, 20, 0, 0},
                                  {"TIPO", FieldType::Character, 8, 0, 0},
                                  {"LICAO", FieldType::Numeric, 3, 0, 0},
                                  {"DATA", FieldType::Date, 8, 0, 0},
                                  {"TECLAS", FieldType::Memo, 10, 0, 0}},
                                 {}};
    return e;
}

void gravarTeclas(const std::string& dir, const std::string& nome, const std::string& tipo, int licao, int ano,
                  int mes, int dia, const EstatisticaTeclas& figuras)
{
    if (figuras.vazia()) return;
    // Two computers of a lab may make the table at the same moment: the engine makes it whole
    // beside and puts it in place only where none is yet.
    xbase::Table::createIfMissing(dir, esquemaTeclas().arquivo, esquemaTeclas().campos, esquemaTeclas().tags);
    xbase::Table t;
    t.open(dir, esquemaTeclas().arquivo);
    t.insert();
    t.setString(kNome, nome);
    t.setString(kTipo, tipo);
    t.setInteger(kLicao, licao);
    t.setString(kData, textoData(ano, mes, dia));
    t.setString(kTeclas, textoFiguras(figuras));
    t.post();
}

EstatisticaTeclas lerTeclas(const std::string& dir, const std::string& nome, const std::string& tipo, int de, int ate)
{
    EstatisticaTeclas r;
    if (!xbase::fileExists(caminho(dir))) return r;
    xbase::Table t;
    t.open(dir, esquemaTeclas().arquivo, true);
    const std::string alvoNome = comoGravado(nome, t.fieldDef(kNome));
    const std::string alvoTipo = comoGravado(tipo, t.fieldDef(kTipo));
    for (t.first(); !t.eof(); t.next()) {
        if (t.asString(kNome) != alvoNome || t.asString(kTipo) != alvoTipo) continue;
        const long long licao = t.asInteger(kLicao);
        if (licao >= de && licao <= ate) somarTexto(t.asString(kTeclas), r);
    }
    return r;
}

void removerTeclasDoAluno(const std::string& dir, const std::string& nome)
{
    removerLinhasDoAluno(dir, esquemaTeclas().arquivo, kNome, nome);
}

void renomearTeclasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo)
{
    renomearLinhasDoAluno(dir, esquemaTeclas().arquivo, kNome, antigo, novo);
}

} // namespace dominio
