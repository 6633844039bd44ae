#pragma once
#include <string>
#include <vector>

namespace dominio {

// Width of a typing line, in characters.
constexpr std::size_t kLarguraLinha = 61;

// Divides a lesson text (UTF-8) into the lines the student types, as the lesson memo lays it
// out: every hard line break (CR LF, LF or CR) ends a line; a longer paragraph is wrapped at
// word boundaries so that no line is longer than `largura` characters (a word longer than
// that is broken); blanks at both ends of each line are removed. A single line break at the
// very end of the text does not make an extra line. An empty text has no lines.
std::vector<std::string> dividirLinhas(const std::string& texto,
                                       std::size_t largura = kLarguraLinha);

// Blanks (spaces and tabs) removed at both ends.
std::string aparar(const std::string& texto);

} // namespace dominio
