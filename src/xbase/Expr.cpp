#include "Expr.h"
#include "Codepage.h"
#include "Error.h"
#include "ExprLexer.h"
#include "ExprNodes.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace xbase {

// The compiled program: the root of the node tree (see ExprNodes.h) and, for a condition
// that is an .AND. chain of field-against-constant terms, the same terms as a flat list.
struct Expression::Node {
    expr::NodePtr root;
    std::vector<expr::FastTerm> fastTerms;
    // For such a chain with a text '=' term over a field of 8 bytes or more: where that field
    // starts and its first 8 bytes when equal. A record whose bytes there differ fails the
    // whole condition, which is what most records of a filtered table do.
    int headOffset = -1;
    uint64_t head = 0;

    void prepareFastTerms()
    {
        if (!root->collectFastTerms(fastTerms)) {
            fastTerms.clear();
            return;
        }
        for (const expr::FastTerm& term : fastTerms) {
            if (term.kind == expr::FastTerm::Kind::TextEqual && term.possible && term.length >= 8) {
                headOffset = term.offset;
                head = term.head;
                return;
            }
        }
    }
};

namespace {

using expr::CompareOp;
using expr::Lexeme;
using expr::NodePtr;
using expr::Token;

// Bounds that keep hostile input from exhausting the stack or the memory.
constexpr int kMaxDepth = 300;
constexpr int kMaxChain = 2000;
constexpr int kMaxTextWidth = 65535;
constexpr int kMaxKeyWidth = 240;
constexpr int kMaxStrLength = 254;
constexpr int kMaxStrDecimals = 18;

const char* typeName(ValueType type)
{
    switch (type) {
    case ValueType::Character: return "texto";
    case ValueType::Numeric: return "número";
    case ValueType::Logical: return "lógico";
    case ValueType::Date: return "data";
    }
    return "?";
}

std::string upperAscii(std::string word)
{
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

bool isComparison(Token token)
{
    switch (token) {
    case Token::Equal:
    case Token::Exact:
    case Token::NotEqual:
    case Token::Less:
    case Token::Greater:
    case Token::LessEqual:
    case Token::GreaterEqual: return true;
    default: return false;
    }
}

CompareOp compareOpOf(Token token)
{
    switch (token) {
    case Token::Exact: return CompareOp::Exact;
    case Token::NotEqual: return CompareOp::NotEqual;
    case Token::Less: return CompareOp::Less;
    case Token::Greater: return CompareOp::Greater;
    case Token::LessEqual: return CompareOp::LessEqual;
    case Token::GreaterEqual: return CompareOp::GreaterEqual;
    default: return CompareOp::Equal;
    }
}

// Recursive descent, loosest first: .OR., .AND., .NOT., comparison, + -, unary -, values.
class Parser {
public:
    Parser(const std::string& text, const std::vector<FieldDef>& fields)
        : text_(text), fields_(fields), lexemes_(expr::tokenize(text)) {}

    NodePtr parse()
    {
        if (peek().token == Token::End)
            fail(peek(), "expressão vazia");
        NodePtr node = parseOr();
        if (peek().token != Token::End)
            fail(peek(), "esperado o fim da expressão, encontrado '" + source(peek()) + "'");
        return node;
    }

private:
    // Counts nesting while a rule that can recurse is active.
    class Depth {
    public:
        explicit Depth(Parser& parser) : parser_(parser)
        {
            if (++parser_.depth_ > kMaxDepth)
                parser_.fail(parser_.peek(), "expressão aninhada demais");
        }
        ~Depth() { --parser_.depth_; }

    private:
        Parser& parser_;
    };

    // A chain "a + b + c ..." becomes a tree as deep as it is long, and every evaluation walks
    // it recursively: its length is bounded like the nesting.
    void longerChain(const Lexeme& op)
    {
        if (++chained_ > kMaxChain)
            fail(op, "expressão longa demais (mais de " + std::to_string(kMaxChain) + " operações)");
    }

    const Lexeme& peek() const { return lexemes_[next_]; }
    const Lexeme& take() { return lexemes_[next_++]; }

    [[noreturn]] void fail(const Lexeme& at, const std::string& what) const
    {
        expr::fail(text_, at.position, what);
    }

    std::string source(const Lexeme& lexeme) const
    {
        return text_.substr(lexeme.position, lexeme.length);
    }

    void requireLogical(const expr::Node& operand, const Lexeme& op) const
    {
        if (operand.type() != ValueType::Logical)
            fail(op, "'" + source(op) + "' precisa de valores lógicos, não de "
                     + typeName(operand.type()));
    }

    void requireTextWidth(int width, const Lexeme& at) const
    {
        if (width > kMaxTextWidth)
            fail(at, "texto longo demais (mais de " + std::to_string(kMaxTextWidth) + " bytes)");
    }

    NodePtr parseOr()
    {
        Depth depth(*this);
        NodePtr left = parseAnd();
        while (peek().token == Token::Or) {
            const Lexeme& op = take();
            longerChain(op);
            NodePtr right = parseAnd();
            requireLogical(*left, op);
            requireLogical(*right, op);
            left = expr::makeOr(std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parseNot();
        while (peek().token == Token::And) {
            const Lexeme& op = take();
            longerChain(op);
            NodePtr right = parseNot();
            requireLogical(*left, op);
            requireLogical(*right, op);
            left = expr::makeAnd(std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseNot()
    {
        Depth depth(*this);
        if (peek().token != Token::Not)
            return parseComparison();
        const Lexeme& op = take();
        NodePtr arg = parseNot();
        requireLogical(*arg, op);
        return expr::makeNot(std::move(arg));
    }

    NodePtr parseComparison()
    {
        NodePtr left = parseSum();
        if (!isComparison(peek().token))
            return left;
        const Lexeme& op = take();
        NodePtr right = parseSum();
        if (left->type() != right->type())
            fail(op, "tipos incompatíveis em '" + source(op) + "' (" + typeName(left->type())
                         + " e " + typeName(right->type()) + ")");
        const bool equality = op.token == Token::Equal || op.token == Token::Exact
                              || op.token == Token::NotEqual;
        if (left->type() == ValueType::Logical && !equality)
            fail(op, "'" + source(op) + "' não compara valores lógicos");
        return expr::makeCompare(compareOpOf(op.token), std::move(left), std::move(right));
    }

    NodePtr parseSum()
    {
        NodePtr left = parseUnary();
        while (peek().token == Token::Plus || peek().token == Token::Minus) {
            const Lexeme& op = take();
            longerChain(op);
            NodePtr right = parseUnary();
            left = combine(op, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr combine(const Lexeme& op, NodePtr left, NodePtr right)
    {
        const ValueType a = left->type();
        const ValueType b = right->type();
        if (a == ValueType::Numeric && b == ValueType::Numeric) {
            return op.token == Token::Plus ? expr::makeAdd(std::move(left), std::move(right))
                                           : expr::makeSubtract(std::move(left), std::move(right));
        }
        if (op.token == Token::Plus && a == ValueType::Character && b == ValueType::Character) {
            requireTextWidth(left->width() + right->width(), op);
            return expr::makeConcat(std::move(left), std::move(right));
        }
        if (a != b)
            fail(op, "tipos incompatíveis em '" + source(op) + "' (" + typeName(a) + " e "
                         + typeName(b) + ")");
        fail(op, std::string("'") + source(op) + "' não se aplica a " + typeName(a));
    }

    NodePtr parseUnary()
    {
        Depth depth(*this);
        if (peek().token != Token::Minus)
            return parsePrimary();
        const Lexeme& op = take();
        NodePtr arg = parseUnary();
        if (arg->type() != ValueType::Numeric)
            fail(op, std::string("'-' não se aplica a ") + typeName(arg->type()));
        if (arg->kind() == expr::Node::Kind::Constant)
            return expr::makeNumberConstant(-arg->number(nullptr));
        return expr::makeNegate(std::move(arg));
    }

    NodePtr parsePrimary()
    {
        const Lexeme& lexeme = take();
        switch (lexeme.token) {
        case Token::Number: return expr::makeNumberConstant(lexeme.number);
        case Token::Text: return textLiteral(lexeme);
        case Token::True: return expr::makeLogicalConstant(true);
        case Token::False: return expr::makeLogicalConstant(false);
        case Token::LeftParen: {
            NodePtr inner = parseOr();
            expect(Token::RightParen, "')'");
            return inner;
        }
        case Token::Name:
            if (peek().token == Token::LeftParen)
                return function(lexeme);
            return field(lexeme);
        case Token::End: fail(lexeme, "expressão incompleta");
        default: fail(lexeme, "esperado um valor, encontrado '" + source(lexeme) + "'");
        }
    }

    void expect(Token token, const char* what)
    {
        if (peek().token != token)
            fail(peek(), std::string("esperado ") + what);
        take();
    }

    NodePtr textLiteral(const Lexeme& lexeme)
    {
        std::string bytes;
        try {
            bytes = fromUtf8(lexeme.text);
        } catch (const Error&) {
            fail(lexeme, "o texto " + source(lexeme) + " tem caractere que o Windows-1252 não tem");
        }
        requireTextWidth(static_cast<int>(bytes.size()), lexeme);
        return expr::makeTextConstant(std::move(bytes));
    }

    NodePtr field(const Lexeme& name)
    {
        const std::string wanted = upperAscii(name.text);
        for (const FieldDef& f : fields_) {
            if (upperAscii(f.name) != wanted)
                continue;
            if (f.type == FieldType::Memo)
                fail(name, "o campo memo '" + name.text + "' não pode ser usado em expressões");
            return expr::makeField(f);
        }
        fail(name, "campo '" + name.text + "' não existe");
    }

    struct Argument {
        NodePtr node;
        const Lexeme* start;
    };

    NodePtr function(const Lexeme& name)
    {
        take();  // '('
        std::vector<Argument> args;
        if (peek().token != Token::RightParen) {
            for (;;) {
                const Lexeme* start = &peek();
                args.push_back({parseOr(), start});
                if (peek().token != Token::Comma)
                    break;
                take();
            }
        }
        expect(Token::RightParen, "')'");

        const std::string upper = upperAscii(name.text);
        if (upper == "UPPER") {
            requireArguments(name, args, 1, 1);
            requireType(name, args[0], ValueType::Character);
            return expr::makeUpper(std::move(args[0].node));
        }
        if (upper == "DTOS") {
            requireArguments(name, args, 1, 1);
            requireType(name, args[0], ValueType::Date);
            return expr::makeDtos(std::move(args[0].node));
        }
        if (upper == "STR") {
            requireArguments(name, args, 1, 3);
            requireType(name, args[0], ValueType::Numeric);
            const int length = args.size() > 1
                ? constantInteger(args[1], 1, kMaxStrLength, "o tamanho em STR") : 10;
            const int decimals = args.size() > 2
                ? constantInteger(args[2], 0, kMaxStrDecimals, "as casas decimais em STR") : 0;
            return expr::makeStr(std::move(args[0].node), length, decimals);
        }
        fail(name, "função '" + name.text + "' desconhecida");
    }

    void requireArguments(const Lexeme& name, const std::vector<Argument>& args, size_t least,
                          size_t most) const
    {
        if (args.size() < least || args.size() > most)
            fail(name, "número errado de argumentos em " + upperAscii(name.text) + "()");
    }

    void requireType(const Lexeme& name, const Argument& arg, ValueType type) const
    {
        if (arg.node->type() != type)
            fail(*arg.start, upperAscii(name.text) + "() espera " + typeName(type) + ", não "
                                 + typeName(arg.node->type()));
    }

    int constantInteger(const Argument& arg, int least, int most, const std::string& what) const
    {
        const expr::Node& node = *arg.node;
        const double value = node.kind() == expr::Node::Kind::Constant
                                     && node.type() == ValueType::Numeric
                                 ? node.number(nullptr) : -1.0;
        if (value < least || value > most || value != std::floor(value))
            fail(*arg.start, what + " deve ser um número inteiro de " + std::to_string(least)
                                 + " a " + std::to_string(most));
        return static_cast<int>(value);
    }

    const std::string& text_;
    const std::vector<FieldDef>& fields_;
    std::vector<Lexeme> lexemes_;
    std::size_t next_ = 0;
    int depth_ = 0;
    int chained_ = 0;
};

} // namespace

// Out of line, so that the quick rejection in test() needs no registers saved.
// A field read by several number terms (Licao >= 1 .AND. Licao <= 60) is parsed once.
__attribute__((noinline)) static bool allHold(const std::vector<expr::FastTerm>& terms,
                                              const uint8_t* record)
{
    int parsedOffset = -1;
    double parsed = 0;
    for (const expr::FastTerm& term : terms) {
        if (term.kind != expr::FastTerm::Kind::Number) {
            if (!term.holds(record))
                return false;
            continue;
        }
        if (term.offset != parsedOffset) {
            parsed = expr::parseNumber(record + term.offset, term.length);
            parsedOffset = term.offset;
        }
        if (!term.holdsFor(parsed))
            return false;
    }
    return true;
}

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::compile(const std::string& text, const std::vector<FieldDef>& fields)
{
    Expression result;
    result.root_ = std::make_unique<Node>();
    result.root_->root = Parser(text, fields).parse();
    result.type_ = result.root_->root->type();
    result.root_->prepareFastTerms();
    switch (result.type_) {
    case ValueType::Character: result.width_ = result.root_->root->width(); break;
    case ValueType::Logical: result.width_ = 1; break;
    case ValueType::Numeric:
    case ValueType::Date: result.width_ = 8; break;
    }
    result.text_ = text;
    return result;
}

Expression Expression::compileFilter(const std::string& text, const std::vector<FieldDef>& fields)
{
    Expression result = compile(text, fields);
    if (result.type() != ValueType::Logical)
        expr::fail(text, 0, std::string("o filtro deve ser uma condição lógica, não ")
                                + typeName(result.type()));
    return result;
}

Expression Expression::compileKey(const std::string& text, const std::vector<FieldDef>& fields)
{
    Expression result = compile(text, fields);
    if (result.type() == ValueType::Logical)
        expr::fail(text, 0, "a chave de índice não pode ser lógica");
    if (result.width() > kMaxKeyWidth)
        expr::fail(text, 0, "chave de índice longa demais (" + std::to_string(result.width())
                                + " bytes, máximo " + std::to_string(kMaxKeyWidth) + ")");
    return result;
}

bool Expression::isValid() const
{
    return root_ != nullptr;
}

ValueType Expression::type() const
{
    return type_;
}

int Expression::width() const
{
    return width_;
}

const std::string& Expression::text() const
{
    return text_;
}

// An empty expression lets every record through.
bool Expression::test(const uint8_t* record) const
{
    if (!root_)
        return true;
    const Node& program = *root_;
    if (program.headOffset >= 0) {
        uint64_t bytes;
        std::memcpy(&bytes, record + program.headOffset, sizeof bytes);
        if (bytes != program.head)
            return false;
    }
    if (program.fastTerms.empty())
        return program.root->logical(record);
    return allHold(program.fastTerms, record);
}

std::string Expression::key(const uint8_t* record) const
{
    if (!root_)
        return std::string();
    const expr::Node& node = *root_->root;
    switch (type_) {
    case ValueType::Character:
        return std::string(reinterpret_cast<const char*>(node.text(record)),
                           static_cast<size_t>(node.width()));
    case ValueType::Numeric:
    case ValueType::Date: return encodeNumericKey(node.number(record));
    case ValueType::Logical: return node.logical(record) ? "T" : "F";
    }
    return std::string();
}

std::string encodeNumericKey(double value)
{
    if (value == 0)
        value = 0.0;  // -0 keys as +0
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const uint64_t signBit = uint64_t{1} << 63;
    bits = (bits & signBit) != 0 ? ~bits : bits ^ signBit;
    std::string key(8, '\0');
    for (int i = 0; i < 8; ++i)
        key[static_cast<size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
    return key;
}

double decodeNumericKey(const std::string& key)
{
    if (key.size() != 8)
        throw Error(ErrorKind::Invalid, "Chave numérica com " + std::to_string(key.size())
                    + " bytes; são esperados 8");
    uint64_t bits = 0;
    for (char c : key)
        bits = (bits << 8) | static_cast<uint8_t>(c);
    const uint64_t signBit = uint64_t{1} << 63;
    bits = (bits & signBit) != 0 ? bits ^ signBit : ~bits;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

long julianDay(int year, int month, int day)
{
    // Proleptic Gregorian calendar, counted from a March-based year.
    const long a = (14 - month) / 12;
    const long y = year + 4800L - a;
    const long m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

} // namespace xbase
