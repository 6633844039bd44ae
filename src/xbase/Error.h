#pragma once
#include <stdexcept>
#include <string>

namespace xbase {

// Every failure of the engine: a damaged file, a bad expression, a missing field, a text the
// code page cannot hold. The message is meant for the user (Portuguese) and names the file.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace xbase
