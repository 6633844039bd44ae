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
    // Every post ends with an fsync of the files it wrote, so that a power cut after it loses
    // nothing. Only a bulk loader that makes its files from scratch (the maker of the shipped
    // tables, a benchmark) turns it off.
    bool syncOnPost = true;
    // How long a lock another process holds is tried before the table is reported in use.
    int lockWaitMilliseconds = 5000;
};

Environment& environment();

} // namespace xbase
