#include "DesenhoTeclado.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace dominio {
namespace {

int idDaTecla(const std::string& s)
{
    static const std::map<std::string, int> especiais = {
        {"tab", kTab}, {"caps", kCaps}, {"shiftesq", kShiftEsq}, {"shiftdir", kShiftDir},
        {"backspace", kBackspace}, {"numlock", kNumLock}, {"ponto", kPontoTeclado}};
    const auto e = especiais.find(s);
    return e != especiais.end() ? e->second : std::stoi(s);
}

Dedo dedoDe(const std::string& s)
{
    static const std::map<std::string, Dedo> dedos = {{"polegar", Dedo::Polegar}, {"indicador", Dedo::Indicador},
                                                      {"medio", Dedo::Medio}, {"anular", Dedo::Anular},
                                                      {"minimo", Dedo::Minimo}};
    const auto d = dedos.find(s);
    if (d == dedos.end()) throw std::runtime_error("dedo desconhecido: " + s);
    return d->second;
}

// "Shift\nsem Shift" as the key cap shows it; a letter shows its capital only.
std::string legendaDoMapa(const std::vector<std::string>& caracteres)
{
    if (caracteres.empty()) return {};
    if (caracteres.size() == 1) return caracteres[0];
    const std::string& sem = caracteres[0];
    const std::string& com = caracteres[1];
    const bool letraAscii = sem.size() == 1 && sem[0] >= 'a' && sem[0] <= 'z' && com.size() == 1
                            && com[0] == sem[0] - 'a' + 'A';
    const bool cedilha = sem == "\xC3\xA7" && com == "\xC3\x87";
    return letraAscii || cedilha ? com : com + "\n" + sem;
}

std::string semEscapes(const std::string& s)
{
    if (s == "-") return {};
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            r += '\n';
            ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

} // namespace

std::vector<DesenhoTeclado> lerDesenhos(const std::string& descricao)
{
    std::map<int, std::vector<std::string>> doMapa;  // key -> characters without and with Shift
    std::map<int, std::string> semLegenda;             // Enter and the space bar
    std::vector<DesenhoTeclado> desenhos;
    std::istringstream in(descricao);
    std::string linha;
    std::vector<std::pair<std::size_t, std::size_t>> pendentes;  // drawing, panel
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        std::istringstream palavras(linha);
        std::string comando;
        if (!(palavras >> comando) || comando[0] == '#') continue;
        try {
            if (comando == "tecla") {
                std::string n, c;
                palavras >> n;
                auto& caracteres = doMapa[std::stoi(n)];
                if (!caracteres.empty()) continue;  // a second row on one key (the keypad's , and .)
                while (palavras >> c) caracteres.push_back(c);
            } else if (comando == "enter" || comando == "espaco") {
                std::string n;
                palavras >> n;
                semLegenda[std::stoi(n)] = comando == "enter" ? "\r" : " ";
            } else if (comando == "desenho") {
                DesenhoTeclado d;
                palavras >> d.nome;
                desenhos.push_back(d);
            } else if (comando == "painel") {
                if (desenhos.empty()) throw std::runtime_error("painel antes do desenho");
                std::string tecla, dedo;
                PainelTecla p;
                if (!(palavras >> tecla >> p.x >> p.y >> p.largura >> p.altura >> dedo))
                    throw std::runtime_error("painel incompleto");
                p.tecla = idDaTecla(tecla);
                p.dedo = dedoDe(dedo);
                std::string legenda;
                std::getline(palavras >> std::ws, legenda);
                if (legenda.empty()) pendentes.emplace_back(desenhos.size() - 1, desenhos.back().paineis.size());
                else p.legenda = semEscapes(legenda);
                desenhos.back().paineis.push_back(p);
            }
        } catch (const std::logic_error&) {
            throw std::runtime_error("linha inválida no desenho do teclado: " + linha);
        }
    }
    for (const auto& [d, p] : pendentes) {
        PainelTecla& painel = desenhos[d].paineis[p];
        painel.legenda = legendaDoMapa(doMapa[painel.tecla]);
    }
    for (const auto& [tecla, c] : semLegenda) doMapa[tecla].push_back(c);
    for (DesenhoTeclado& d : desenhos) d.caracteres = doMapa;
    return desenhos;
}

} // namespace dominio
