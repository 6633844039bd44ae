#include "ArquivoTeclas.h"
#include "LinhasDoAluno.h"

#include "xbase/Codepage.h"
#include "xbase/Error.h"
#include "xbase/File.h"
#include "xbase/Table.h"

#include <exception>
#include <map>
#include <tuple>


namespace dominio {
namespace {

using xbase::FieldDef;
using xbase::FieldType;

enum Campo { kNome, kTipo, kLicao, kData, kTeclas };
// The sums per student, course type and lesson share the first three fields' places.
enum CampoSoma { kLicoes = 3, kAte = 4, kSomadas = 5 };

std::string caminho(const std::string& dir) { return xbase::joinPath(dir, esquemaTeclas().arquivo); }

void somarNumeros(std::string& r, std::initializer_list<long long> numeros)
{
    for (long long n : numeros) {
        r += std::to_string(n);
        r += ' ';
    }
}

// One line per character: its code, right, wrong, milliseconds on the right ones, the code
// of the character typed instead most often (0 when none) and how often.
std::string textoFiguras(const EstatisticaTeclas& figuras)
{
    std::string r;
    for (const auto& [c, f] : figuras.figuras()) {
        somarNumeros(r, {(long long)c, f.acertos, f.erros, f.tempoMs, (long long)f.trocaMaisComum(), f.vezesTroca()});
        r.back() = '\n';
    }
    return r;
}

// The same for a sum of lessons, with every character typed instead and how often: the one
// typed most often over many lessons is not always the most often of each.
std::string textoSomado(const EstatisticaTeclas& figuras)
{
    std::string r;
    for (const auto& [c, f] : figuras.figuras()) {
        somarNumeros(r, {(long long)c, f.acertos, f.erros, f.tempoMs});
        for (const auto& [troca, vezes] : f.trocas) somarNumeros(r, {(long long)troca, vezes});
        r.back() = '\n';
    }
    return r;
}

bool lerNumero(const char*& p, unsigned long long& n)
{
    while (*p == ' ') ++p;
    if (*p < '0' || *p > '9') return false;
    n = 0;
    while (*p >= '0' && *p <= '9') n = n * 10 + (unsigned long long)(*p++ - '0');
    return true;
}

// Reads the lines back, a lesson's or a sum's; a damaged line is skipped. Digits are read by
// hand: the library's locale-aware reading was most of the time of the "Teclas" window.
void somarTexto(const std::string& texto, EstatisticaTeclas& r)
{
    const char* p = texto.c_str();
    while (*p) {
        unsigned long long n[4] = {};  // unsigned: absurd digits in a damaged file wrap, never overflow
        int lidos = 0;
        while (lidos < 4 && lerNumero(p, n[lidos])) ++lidos;
        if (lidos == 4 && n[0] > 0) {
            FiguraTecla& f = r.figura(char32_t(n[0]));
            f.acertos += (long long)n[1];
            f.erros += (long long)n[2];
            f.tempoMs += (long long)n[3];
            unsigned long long troca = 0, vezes = 0;
            while (lerNumero(p, troca) && lerNumero(p, vezes))
                if (troca > 0 && vezes > 0) f.trocas[char32_t(troca)] += (long long)vezes;
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

// Record 1 of the sums holds no student: its ATE says up to which row of the lessons' table
// every row is summed. Its lock keeps two computers from summing at once.
constexpr uint32_t kMarca = 1;

void criarSomas(const std::string& dir)
{
    const EsquemaTabela& e = esquemaSomasTeclas();
    xbase::Table::createIfMissing(dir, e.arquivo, e.campos, e.tags);
    xbase::Table t;
    t.open(dir, e.arquivo);
    if (t.physicalCount() > 0) return;
    t.insert();  // two computers may both add one: the first is the mark, a row of no one the other
    t.setInteger(kAte, 0);
    t.post();
}

struct LinhaNova {
    uint32_t registro;
    std::string figuras;
};
using Chave = std::tuple<std::string, std::string, long long>;

// The lesson rows stored since the mark, by student, type and lesson; deleted ones (a student
// removed) are left out.
// A fault of the lessons' rows, told apart from one of the sums (which can be made again).
struct FalhaNasLinhas {
    std::exception_ptr causa;
};

std::map<Chave, std::vector<LinhaNova>> linhasDesde(const std::string& dir, uint32_t desde, uint32_t& ate)
{
    std::map<Chave, std::vector<LinhaNova>> novas;
    try {
        xbase::Table t;
        t.open(dir, esquemaTeclas().arquivo, true);
        ate = t.physicalCount();
        for (uint32_t r = desde + 1; r <= ate; ++r) {
            t.goTo(r);
            if (t.isDeleted()) continue;
            novas[{t.asString(kNome), t.asString(kTipo), t.asInteger(kLicao)}].push_back({r, t.asString(kTeclas)});
        }
    } catch (const xbase::Error&) {
        throw FalhaNasLinhas{std::current_exception()};
    }
    return novas;
}

// Where each sum stands, from one pass over them (record 1, the mark, is no one's).
std::map<Chave, uint32_t> registrosDasSomas(xbase::Table& somas)
{
    std::map<Chave, uint32_t> registros;
    for (somas.first(); !somas.eof(); somas.next())
        if (somas.recNo() != kMarca)
            registros.emplace(Chave{somas.asString(kNome), somas.asString(kTipo), somas.asInteger(kLicao)}, somas.recNo());
    return registros;
}

// The rows past the sum's own ATE join it (its edit reads it again under its lock): a sum cut
// short by a crash is not summed twice. Without a sum yet (registro 0) one is made.
void somarLinhas(xbase::Table& somas, const Chave& chave, uint32_t registro, const std::vector<LinhaNova>& linhas)
{
    EstatisticaTeclas soma;
    long long licoes = 0, ate = 0;
    if (registro != 0) {
        somas.goTo(registro);
        somas.edit();
        somarTexto(somas.asString(kSomadas), soma);
        licoes = somas.asInteger(kLicoes);
        ate = somas.asInteger(kAte);
    } else {
        somas.insert();
        somas.setString(kNome, std::get<0>(chave));
        somas.setString(kTipo, std::get<1>(chave));
        somas.setInteger(kLicao, std::get<2>(chave));
    }
    for (const LinhaNova& l : linhas)
        if (l.registro > ate) somarTexto(l.figuras, soma), ++licoes;
    somas.setString(kSomadas, textoSomado(soma));
    somas.setInteger(kLicoes, licoes);
    somas.setInteger(kAte, linhas.back().registro);
    somas.post();
}

// The sums brought up to the lessons stored since they last were: the end of a lesson only
// adds its row, and whoever reads the figures next sums what came since (a working folder of
// an older version, with rows and no sums, gets every row summed once). When another computer
// is summing, the sums are read as they stand.
void atualizarSomas(const std::string& dir, xbase::Table& somas)
{
    xbase::Table marca;
    marca.open(dir, esquemaSomasTeclas().arquivo);
    marca.goTo(kMarca);
    try {
        marca.edit();
    } catch (const xbase::Error& e) {
        if (e.kind() == xbase::ErrorKind::Busy) return;
        throw;
    }
    uint32_t ate = 0;
    const auto novas = linhasDesde(dir, uint32_t(marca.asInteger(kAte)), ate);
    if (ate <= uint32_t(marca.asInteger(kAte))) {
        marca.cancel();
        return;
    }
    somas.readFresh();  // the sums as the last computer to sum left them
    const std::map<Chave, uint32_t> registros = registrosDasSomas(somas);
    for (const auto& [chave, linhas] : novas) {
        const auto onde = registros.find(chave);
        somarLinhas(somas, chave, onde == registros.end() ? 0 : onde->second, linhas);
    }
    marca.setInteger(kAte, ate);
    marca.post();
}

EstatisticaTeclas lerSomas(const std::string& dir, const std::string& nome, const std::string& tipo, int de, int ate)
{
    EstatisticaTeclas r;
    criarSomas(dir);
    xbase::Table t;
    t.open(dir, esquemaSomasTeclas().arquivo);
    atualizarSomas(dir, t);
    const std::string alvoNome = comoGravado(nome, t.fieldDef(kNome));
    const std::string alvoTipo = comoGravado(tipo, t.fieldDef(kTipo));
    for (t.first(); !t.eof(); t.next()) {
        const long long licao = t.asInteger(kLicao);
        if (t.asString(kNome) == alvoNome && t.asString(kTipo) == alvoTipo && licao >= de && licao <= ate)
            somarTexto(t.asString(kSomadas), r);
    }
    return r;
}

} // namespace

// The rows and their sums begin alike: student, course type, lesson; the figures come last.
const FieldDef kCampoNome{"NOME", FieldType::Character, 20, 0, 0};
const FieldDef kCampoTipo{"TIPO", FieldType::Character, 8, 0, 0};
const FieldDef kCampoLicao{"LICAO", FieldType::Numeric, 3, 0, 0};
const FieldDef kCampoFiguras{"TECLAS", FieldType::Memo, 10, 0, 0};

const EsquemaTabela& esquemaTeclas()
{
    static const EsquemaTabela e{"Teclas.dbf",
                                 {kCampoNome, kCampoTipo, kCampoLicao, {"DATA", FieldType::Date, 8, 0, 0}, kCampoFiguras},
                                 {}};
    return e;
}

const EsquemaTabela& esquemaSomasTeclas()
{
    static const EsquemaTabela e{"TecSoma.dbf",
                                 {kCampoNome, kCampoTipo, kCampoLicao, {"LICOES", FieldType::Numeric, 6, 0, 0},
                                  {"ATE", FieldType::Numeric, 10, 0, 0}, kCampoFiguras},
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

// The sums are made from the rows: damaged or half gone, they are made again from them, with
// no question to anybody. A fault of the rows themselves goes to the caller.
EstatisticaTeclas lerTeclas(const std::string& dir, const std::string& nome, const std::string& tipo, int de, int ate)
{
    if (!xbase::fileExists(caminho(dir))) return {};
    try {
        try {
            return lerSomas(dir, nome, tipo, de, ate);
        } catch (const xbase::Error& e) {
            if (e.kind() != xbase::ErrorKind::Damaged && e.kind() != xbase::ErrorKind::Missing) throw;
        }
        for (const char* extensao : {"dbf", "fpt"})
            xbase::removeFile(xbase::companionPath(xbase::joinPath(dir, esquemaSomasTeclas().arquivo), extensao));
        return lerSomas(dir, nome, tipo, de, ate);
    } catch (const FalhaNasLinhas& f) {
        std::rethrow_exception(f.causa);
    }
}



void removerTeclasDoAluno(const std::string& dir, const std::string& nome)
{
    for (const EsquemaTabela* e : {&esquemaTeclas(), &esquemaSomasTeclas()})
        removerLinhasDoAluno(dir, e->arquivo, kNome, nome);
}

void renomearTeclasDoAluno(const std::string& dir, const std::string& antigo, const std::string& novo)
{
    for (const EsquemaTabela* e : {&esquemaTeclas(), &esquemaSomasTeclas()})
        renomearLinhasDoAluno(dir, e->arquivo, kNome, antigo, novo);
}

} // namespace dominio
