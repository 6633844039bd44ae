#pragma once
#include <string>

namespace xbase {

// What the operating system said, in Portuguese, for the error numbers a user can meet when
// the program reads and writes its files ("disco cheio", "sem permissão", ...). Error numbers
// without a text of their own are given as "erro do sistema N".
std::string systemErrorText(int errorNumber);

} // namespace xbase
