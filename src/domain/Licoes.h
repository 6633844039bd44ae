#pragma once
#include <string>
#include <vector>

namespace dominio {

// The lessons of the working folder as values: each question opens the lesson table of the
// keyboard model read-only, reads what it needs and closes it, so no window's cursor, filter
// or listener on the table is moved. Throws xbase::Error when the table cannot be read.
class LeitorLicoes {
public:
    LeitorLicoes(std::string pasta, bool abnt2) : pasta_(std::move(pasta)), abnt2_(abnt2) {}

    // LicaoB.dbf holds the lessons for a keyboard with "Ç", LicaoA.dbf those for one without.
    static const char* arquivo(bool abnt2) { return abnt2 ? "LicaoB.dbf" : "LicaoA.dbf"; }

    // How many lessons the course type has.
    int quantas(const std::string& tipo) const;
    // The lines the student types in lesson `licao` of the type; none when there is no such lesson.
    std::vector<std::string> linhas(const std::string& tipo, int licao) const;
    // Every character of the type's lessons up to `ate`, each once, in the order first met.
    std::u32string ensinadas(const std::string& tipo, int ate) const;

private:
    std::string pasta_;
    bool abnt2_;
};

} // namespace dominio
