#pragma once
#include "Error.h"

#include <string>

namespace xbase {

// What the operating system said, in Portuguese, for the error numbers a user can meet when
// the program reads and writes its files ("disco cheio", "sem permissão", ...). Error numbers
// without a text of their own are given as "erro do sistema N".
std::string systemErrorText(int errorNumber);
// The kind of a system error: a file or folder that is not there is missing; the rest is the
// system's.
ErrorKind systemErrorKind(int errorNumber);

} // namespace xbase
