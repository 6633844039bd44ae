#pragma once
#include <stdexcept>
#include <string>

namespace xbase {

// What went wrong, for the caller to decide on (offer a repair, offer to try again, give up):
// never decided by the words of the message.
enum class ErrorKind {
    Damaged,  // a file's bytes are not what a table's file holds: a repair may mend it
    Missing,  // a file of the table is not there
    Busy,     // another computer holds the table: trying again later may succeed
    Invalid,  // the request itself is wrong: a value, an expression, a field, a state
    System,   // the system refused: disk full, no permission, an I/O error, a stale handle
};

// Every failure of the engine. The message is meant for the user (Portuguese) and names the
// file or the table.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    ErrorKind kind() const { return kind_; }

private:
    ErrorKind kind_;
};

} // namespace xbase
