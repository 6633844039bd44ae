#pragma once
#include <string>
#include <vector>

namespace dominio {

// The weak-key drill: words of the list (UTF-8) made only of characters already taught,
// those densest in the weak characters first, typed in turn until about `toques` keystrokes,
// laid out as typing lines. When no word can be written yet (the first lessons), groups of the
// taught keys instead, each with a weak one, as those lessons drill them: "fff jjj fdj kjf".
// No weak key among the taught ones: no lines.
std::vector<std::string> montarTreino(const std::vector<std::string>& palavras, const std::u32string& fracas,
                                      const std::u32string& ensinadas, std::size_t toques = 450);

} // namespace dominio
