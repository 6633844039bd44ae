#pragma once
#include <string>

namespace xbase {

// Options shared by every open table (the engine environment of the data module).
struct Environment {
    // Records marked deleted are invisible to navigation and counting.
    bool deleted = true;
    // Format of a date field read or written as text. Tokens: d, dd, M, MM, yy, yyyy;
    // everything else is copied. The data module sets the locale's short format, widened to
    // a four-digit year.
    std::string dateFormat = "dd/MM/yyyy";
};

Environment& environment();

} // namespace xbase
