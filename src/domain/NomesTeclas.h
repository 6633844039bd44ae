#pragma once
#include <string>
#include <vector>

namespace dominio {

struct DesenhoTeclado;

// Latin-1 capitals to small letters; other characters unchanged.
char32_t minusculaLatin1(char32_t c);
// The small bare letter and the accent of a letter typed with a dead key ("Á" -> a, ´).
bool decomporAcento(char32_t c, char32_t& base, char32_t& acento);
// The characters a keyboard may type an accent with: its own, or US-International's quote
// (acute) and double quote (diaeresis).
std::vector<char32_t> caracteresDoAcento(char32_t acento);

// A character as it is said: "a", "A maiúsculo", "espaço", "Enter", "vírgula", "acento agudo".
std::string nomeFalado(char32_t c);
// The keys of a character one after the other: "acento agudo, depois a"; one key, its name.
std::string soletrar(char32_t c);
// Where the character is typed on a drawing: "F, indicador esquerdo"; a capital adds the
// Shift of the other hand, an accented letter the accent key first. The name alone when the
// drawing lacks the key.
std::string dedoDaTecla(const DesenhoTeclado& desenho, char32_t c);

} // namespace dominio
