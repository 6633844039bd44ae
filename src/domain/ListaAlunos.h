#pragma once
#include <string>
#include <vector>

namespace dominio {

// A class list read from a text or CSV file: one student a line, the name first, optionally
// the course type and the level in the next columns (";", "," or tab between them: the one most
// lines hold, or the only one a line holds). A first line whose first cell reads "Nome" is a
// header. The file may be UTF-8 (with or without a byte-order mark) or Windows-1252, as
// spreadsheets save it.

struct AlunoDaLista {
    int linha = 0;       // line in the file, from 1
    std::string nome;    // as it will be stored: upper case, at most 20 characters
    std::string tipo;    // one of the course types, or empty (the record rule fills it)
    std::string nivel;   // one of the levels, or empty
    bool cortado = false;  // the name was longer than 20 characters
};

struct Recusa {
    int linha = 0;
    std::string texto;   // the name as read
    std::string motivo;  // why, in Portuguese
};

struct PlanoImportacao {
    std::string erro;  // not empty: the file is not a class list and nothing is registered
    std::vector<AlunoDaLista> aceitos;
    std::vector<Recusa> recusados;
};

// Which names of the file can be registered beside the existing students, under the rules of a
// typed name: upper case (within Windows-1252), 20 characters, no double quote, only
// characters Windows-1252 holds, no name twice, at most `limite` students in all.
PlanoImportacao planejarImportacao(const std::string& bytes, const std::vector<std::string>& existentes,
                                   int limite);

// Upper case as the name entry gives it: only letters whose capital Windows-1252 also holds
// change ("µ" and "ß" stay as they are).
std::string maiusculasCp1252(const std::string& utf8);

} // namespace dominio
