#pragma once
#include <string>
#include <vector>

namespace dominio {

// A sheet as a Brazilian spreadsheet program opens it: a header row and rows of cells that
// are texts or numbers. Texts are UTF-8.
struct Celula {
    enum class Tipo { Vazia, Texto, Numero };
    Tipo tipo = Tipo::Vazia;
    std::string texto;
    double numero = 0;
    int casas = 0;  // decimals written

    static Celula vazia() { return {}; }
    static Celula deTexto(std::string t) { return {Tipo::Texto, std::move(t), 0, 0}; }
    static Celula deNumero(double n, int casas = 0) { return {Tipo::Numero, {}, n, casas}; }
};

struct Planilha {
    std::string nome;  // name of the sheet inside an .ods
    std::vector<std::string> cabecalho;
    std::vector<std::vector<Celula>> linhas;
};

// A number with a decimal comma and no thousands separator ("117,3", "-2", "0,50").
std::string numeroBr(double valor, int casas);

// CSV for a double click in a Brazilian spreadsheet: UTF-8 with a byte-order mark, ";" between
// cells, decimal comma, CR LF line ends; a cell with ";", a quote or a line break goes in
// quotes. A text that a spreadsheet would take as a formula (leading =, +, -, @) is written
// with a leading apostrophe so that it stays a text.
std::string planilhaCsv(const Planilha& planilha);

// The same sheet as an OpenDocument spreadsheet (.ods), a zip written without compression.
std::string planilhaOds(const Planilha& planilha);

} // namespace dominio
