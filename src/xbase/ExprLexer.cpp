#include "ExprLexer.h"
#include "Error.h"
#include "ExprValue.h"

#include <cctype>

namespace xbase::expr {
namespace {

bool isNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(const std::string& text, std::size_t i)
{
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0;
}

std::string upper(std::string word)
{
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

// The whole UTF-8 character at position, for messages.
std::string characterAt(const std::string& text, std::size_t position)
{
    std::size_t end = position + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return text.substr(position, end - position);
}

class Lexer {
public:
    explicit Lexer(const std::string& text) : text_(text) {}

    std::vector<Lexeme> run()
    {
        std::vector<Lexeme> out;
        for (;;) {
            skipBlanks();
            Lexeme lexeme = next();
            const bool end = lexeme.token == Token::End;
            out.push_back(std::move(lexeme));
            if (end)
                return out;
        }
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size()
               && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r'
                   || text_[pos_] == '\n'))
            ++pos_;
    }

    Lexeme make(Token token, std::size_t start)
    {
        Lexeme lexeme;
        lexeme.token = token;
        lexeme.position = start;
        lexeme.length = pos_ - start;
        return lexeme;
    }

    Lexeme next()
    {
        const std::size_t start = pos_;
        if (pos_ >= text_.size())
            return make(Token::End, start);
        const char c = text_[pos_];
        if (c == '"' || c == '\'' || c == '[')
            return literal(c == '[' ? ']' : c);
        if (isDigit(text_, pos_) || (c == '.' && isDigit(text_, pos_ + 1)))
            return number();
        if (c == '.')
            return dotWord();
        if (isNameStart(c)) {
            while (pos_ < text_.size() && isNameChar(text_[pos_]))
                ++pos_;
            Lexeme lexeme = make(Token::Name, start);
            lexeme.text = text_.substr(start, pos_ - start);
            return lexeme;
        }
        return symbol();
    }

    Lexeme literal(char close)
    {
        const std::size_t start = pos_;
        const std::size_t end = text_.find(close, pos_ + 1);
        if (end == std::string::npos)
            fail(text_, start, std::string("texto sem fechamento (falta ") + close + ")");
        pos_ = end + 1;
        Lexeme lexeme = make(Token::Text, start);
        lexeme.text = text_.substr(start + 1, end - start - 1);
        return lexeme;
    }

    Lexeme number()
    {
        const std::size_t start = pos_;
        while (isDigit(text_, pos_))
            ++pos_;
        bool integral = true;
        if (pos_ < text_.size() && text_[pos_] == '.' && isDigit(text_, pos_ + 1)) {
            integral = false;
            ++pos_;
            while (isDigit(text_, pos_))
                ++pos_;
        }
        Lexeme lexeme = make(Token::Number, start);
        // Our own reader: strtod would follow the process locale's decimal comma.
        lexeme.number = parseNumber(reinterpret_cast<const uint8_t*>(text_.data() + start),
                                    static_cast<int>(pos_ - start));
        lexeme.integral = integral;
        return lexeme;
    }

    // .AND. .OR. .NOT. .T. .F. (.Y. .N. as in FoxPro), any case.
    Lexeme dotWord()
    {
        const std::size_t start = pos_;
        std::size_t end = pos_ + 1;
        while (end < text_.size() && std::isalpha(static_cast<unsigned char>(text_[end])) != 0)
            ++end;
        if (end == pos_ + 1 || end >= text_.size() || text_[end] != '.')
            fail(text_, start, "caractere inesperado '.'");
        const std::string word = upper(text_.substr(pos_ + 1, end - pos_ - 1));
        Token token;
        if (word == "AND") token = Token::And;
        else if (word == "OR") token = Token::Or;
        else if (word == "NOT") token = Token::Not;
        else if (word == "T" || word == "Y") token = Token::True;
        else if (word == "F" || word == "N") token = Token::False;
        else fail(text_, start, "operador '" + text_.substr(start, end + 1 - start) + "' desconhecido");
        pos_ = end + 1;
        return make(token, start);
    }

    Lexeme symbol()
    {
        const std::size_t start = pos_;
        const char c = text_[pos_];
        const char following = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
        Token token;
        int length = 1;
        switch (c) {
        case '=':
            token = following == '=' ? Token::Exact : Token::Equal;
            length = following == '=' ? 2 : 1;
            break;
        case '<':
            if (following == '>') { token = Token::NotEqual; length = 2; }
            else if (following == '=') { token = Token::LessEqual; length = 2; }
            else token = Token::Less;
            break;
        case '>':
            token = following == '=' ? Token::GreaterEqual : Token::Greater;
            length = following == '=' ? 2 : 1;
            break;
        case '#': token = Token::NotEqual; break;
        case '+': token = Token::Plus; break;
        case '-': token = Token::Minus; break;
        case '(': token = Token::LeftParen; break;
        case ')': token = Token::RightParen; break;
        case ',': token = Token::Comma; break;
        default:
            fail(text_, start, "caractere inesperado '" + characterAt(text_, start) + "'");
        }
        pos_ += static_cast<std::size_t>(length);
        return make(token, start);
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

} // namespace

int columnOf(const std::string& text, std::size_t position)
{
    int column = 1;
    for (std::size_t i = 0; i < position && i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++column;
    }
    return column;
}

void fail(const std::string& text, std::size_t position, const std::string& what)
{
    throw Error(ErrorKind::Invalid, "Expressão inválida na coluna " + std::to_string(columnOf(text, position)) + ": "
                + what);
}

std::vector<Lexeme> tokenize(const std::string& text)
{
    return Lexer(text).run();
}

} // namespace xbase::expr
