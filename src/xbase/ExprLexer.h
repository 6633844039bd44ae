#pragma once
// Tokens of the expression language. Internal to the engine.
#include <cstddef>
#include <string>
#include <vector>

namespace xbase::expr {

enum class Token {
    End, Name, Text, Number, True, False,
    And, Or, Not,
    Equal, Exact, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    Plus, Minus, LeftParen, RightParen, Comma,
};

struct Lexeme {
    Token token = Token::End;
    std::size_t position = 0;  // byte offset in the expression text
    std::size_t length = 0;    // bytes of the source it spans
    std::string text;          // Name: as written; Text: the literal's UTF-8 contents
    double number = 0;
    bool integral = true;      // Number without a decimal part
};

// 1-based column (in characters) of a byte offset of a UTF-8 text.
int columnOf(const std::string& text, std::size_t position);

// Throws Error "Expressão inválida na coluna N: <what>".
[[noreturn]] void fail(const std::string& text, std::size_t position, const std::string& what);

// Splits an expression into lexemes, ending with Token::End. Throws Error on a character
// that starts no token, an unterminated literal or an unknown .WORD. operator.
std::vector<Lexeme> tokenize(const std::string& text);

} // namespace xbase::expr
