#include "ExprNodes.h"
#include "ExprValue.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace xbase::expr {
namespace {

constexpr double kPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

double powerOfTen(int exponent)
{
    if (exponent >= 0 && exponent <= 22)
        return kPowersOfTen[exponent];
    return std::pow(10.0, exponent);
}

// Three-way comparison of two texts, the shorter one taken as padded with blanks. Equal under
// this rule means equal apart from trailing blanks.
int comparePadded(const uint8_t* a, int lengthA, const uint8_t* b, int lengthB)
{
    const int common = std::min(lengthA, lengthB);
    if (common > 0) {
        const int c = std::memcmp(a, b, static_cast<size_t>(common));
        if (c != 0)
            return c;
    }
    for (int i = common; i < lengthA; ++i) {
        if (a[i] != ' ')
            return a[i] < ' ' ? -1 : 1;
    }
    for (int i = common; i < lengthB; ++i) {
        if (b[i] != ' ')
            return b[i] < ' ' ? 1 : -1;
    }
    return 0;
}

bool sameBytes(const uint8_t* a, int lengthA, const uint8_t* b, int lengthB)
{
    return lengthA == lengthB
        && (lengthA == 0 || std::memcmp(a, b, static_cast<size_t>(lengthA)) == 0);
}

// Whether an ordering result satisfies an operator ('==' is handled by the callers for text).
bool holds(CompareOp op, int order)
{
    switch (op) {
    case CompareOp::Equal:
    case CompareOp::Exact: return order == 0;
    case CompareOp::NotEqual: return order != 0;
    case CompareOp::Less: return order < 0;
    case CompareOp::Greater: return order > 0;
    case CompareOp::LessEqual: return order <= 0;
    case CompareOp::GreaterEqual: return order >= 0;
    }
    return false;
}

int orderOf(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The operator seen from the other side: a < b is b > a.
CompareOp mirrored(CompareOp op)
{
    switch (op) {
    case CompareOp::Less: return CompareOp::Greater;
    case CompareOp::Greater: return CompareOp::Less;
    case CompareOp::LessEqual: return CompareOp::GreaterEqual;
    case CompareOp::GreaterEqual: return CompareOp::LessEqual;
    default: return op;
    }
}

bool isTrueByte(uint8_t b)
{
    return b == 'T' || b == 't' || b == 'Y' || b == 'y';
}

// Windows-1252 upper case: ASCII, the accented Latin-1 letters, and s/z caron, oe, y diaeresis.
struct UpperTable {
    uint8_t map[256];
    UpperTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = static_cast<uint8_t>(i);
        for (int c = 'a'; c <= 'z'; ++c)
            map[c] = static_cast<uint8_t>(c - 32);
        for (int c = 0xE0; c <= 0xFE; ++c) {
            if (c != 0xF7)  // division sign
                map[c] = static_cast<uint8_t>(c - 32);
        }
        map[0x9A] = 0x8A;
        map[0x9C] = 0x8C;
        map[0x9E] = 0x8E;
        map[0xFF] = 0x9F;
    }
};

const UpperTable kUpper;

// ---- Leaves ----

class TextField : public Node {
public:
    explicit TextField(const FieldDef& f)
        : Node(ValueType::Character, f.length, Kind::Field), field_(f) {}
    const uint8_t* text(const uint8_t* record) const override { return record + field_.offset; }
    const FieldDef* field() const override { return &field_; }

private:
    FieldDef field_;
};

class NumberField : public Node {
public:
    explicit NumberField(const FieldDef& f)
        : Node(ValueType::Numeric, 8, Kind::Field), field_(f) {}
    double number(const uint8_t* record) const override
    {
        return parseNumber(record + field_.offset, field_.length);
    }
    const FieldDef* field() const override { return &field_; }

private:
    FieldDef field_;
};

class LogicalField : public Node {
public:
    explicit LogicalField(const FieldDef& f)
        : Node(ValueType::Logical, 1, Kind::Field), field_(f) {}
    bool logical(const uint8_t* record) const override
    {
        return isTrueByte(record[field_.offset]);
    }
    const FieldDef* field() const override { return &field_; }

private:
    FieldDef field_;
};

class DateField : public Node {
public:
    explicit DateField(const FieldDef& f)
        : Node(ValueType::Date, 8, Kind::Field), field_(f) {}
    double number(const uint8_t* record) const override
    {
        return static_cast<double>(dateFieldDay(record + field_.offset));
    }
    const uint8_t* text(const uint8_t* record) const override { return record + field_.offset; }
    const FieldDef* field() const override { return &field_; }

private:
    FieldDef field_;
};

class TextConstant : public Node {
public:
    explicit TextConstant(std::string bytes)
        : Node(ValueType::Character, static_cast<int>(bytes.size()), Kind::Constant),
          bytes_(std::move(bytes)) {}
    const uint8_t* text(const uint8_t*) const override
    {
        return reinterpret_cast<const uint8_t*>(bytes_.data());
    }

private:
    std::string bytes_;
};

class NumberConstant : public Node {
public:
    explicit NumberConstant(double value)
        : Node(ValueType::Numeric, 8, Kind::Constant), value_(value) {}
    double number(const uint8_t*) const override { return value_; }

private:
    double value_;
};

class LogicalConstant : public Node {
public:
    explicit LogicalConstant(bool value)
        : Node(ValueType::Logical, 1, Kind::Constant), value_(value) {}
    bool logical(const uint8_t*) const override { return value_; }

private:
    bool value_;
};

// ---- Character results ----

// A node that writes its text into a buffer of its fixed width.
class BufferedText : public Node {
public:
    explicit BufferedText(int width)
        : Node(ValueType::Character, width), buffer_(static_cast<size_t>(width) + 1, ' ') {}

protected:
    uint8_t* buffer() const { return buffer_.data(); }

private:
    mutable std::vector<uint8_t> buffer_;
};

class Concat : public BufferedText {
public:
    Concat(NodePtr left, NodePtr right) : BufferedText(left->width() + right->width())
    {
        absorb(std::move(left));
        absorb(std::move(right));
    }
    const uint8_t* text(const uint8_t* record) const override
    {
        uint8_t* out = buffer();
        for (const NodePtr& part : parts_) {
            std::memcpy(out, part->text(record), static_cast<size_t>(part->width()));
            out += part->width();
        }
        return buffer();
    }

private:
    // A chain a+b+c keeps its parts side by side, so each part is copied once.
    void absorb(NodePtr part)
    {
        if (auto* inner = dynamic_cast<Concat*>(part.get())) {
            for (NodePtr& p : inner->parts_)
                parts_.push_back(std::move(p));
        } else {
            parts_.push_back(std::move(part));
        }
    }

    std::vector<NodePtr> parts_;
};

class Upper : public BufferedText {
public:
    explicit Upper(NodePtr arg) : BufferedText(arg->width()), arg_(std::move(arg)) {}
    const uint8_t* text(const uint8_t* record) const override
    {
        const uint8_t* in = arg_->text(record);
        uint8_t* out = buffer();
        for (int i = 0; i < width(); ++i)
            out[i] = kUpper.map[in[i]];
        return out;
    }

private:
    NodePtr arg_;
};

class Str : public BufferedText {
public:
    Str(NodePtr arg, int length, int decimals)
        : BufferedText(length), arg_(std::move(arg)), decimals_(decimals) {}
    const uint8_t* text(const uint8_t* record) const override
    {
        formatStr(arg_->number(record), width(), decimals_, reinterpret_cast<char*>(buffer()));
        return buffer();
    }

private:
    NodePtr arg_;
    int decimals_;
};

// DTOS of a date field is its stored bytes: YYYYMMDD, or blanks for an empty date.
class Dtos : public Node {
public:
    explicit Dtos(NodePtr arg) : Node(ValueType::Character, 8), arg_(std::move(arg)) {}
    const uint8_t* text(const uint8_t* record) const override { return arg_->text(record); }

private:
    NodePtr arg_;
};

// ---- Numbers ----

class Add : public Node {
public:
    Add(NodePtr left, NodePtr right, bool subtract)
        : Node(ValueType::Numeric, 8), left_(std::move(left)), right_(std::move(right)),
          subtract_(subtract) {}
    double number(const uint8_t* record) const override
    {
        const double a = left_->number(record);
        const double b = right_->number(record);
        return subtract_ ? a - b : a + b;
    }

private:
    NodePtr left_, right_;
    bool subtract_;
};

class Negate : public Node {
public:
    explicit Negate(NodePtr arg) : Node(ValueType::Numeric, 8), arg_(std::move(arg)) {}
    double number(const uint8_t* record) const override { return -arg_->number(record); }

private:
    NodePtr arg_;
};

// ---- Comparisons ----

class TextCompare : public Node {
public:
    TextCompare(CompareOp op, NodePtr left, NodePtr right)
        : Node(ValueType::Logical, 1), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    bool logical(const uint8_t* record) const override
    {
        const uint8_t* a = left_->text(record);
        const uint8_t* b = right_->text(record);
        if (op_ == CompareOp::Exact)
            return sameBytes(a, left_->width(), b, right_->width());
        return holds(op_, comparePadded(a, left_->width(), b, right_->width()));
    }

private:
    CompareOp op_;
    NodePtr left_, right_;
};

// The common filter terms: a character field '=' or '<>' a literal, a numeric field against
// a number.
class FastTermNode : public Node {
public:
    explicit FastTermNode(FastTerm term) : Node(ValueType::Logical, 1), term_(std::move(term)) {}
    bool logical(const uint8_t* record) const override { return term_.holds(record); }
    bool collectFastTerms(std::vector<FastTerm>& out) const override
    {
        out.push_back(term_);
        return true;
    }

private:
    FastTerm term_;
};

// A character field against a literal with '==' or an ordering operator.
class TextFieldCompare : public Node {
public:
    TextFieldCompare(CompareOp op, const FieldDef& field, std::string literal)
        : Node(ValueType::Logical, 1), op_(op), offset_(field.offset), length_(field.length),
          literal_(std::move(literal)) {}
    bool logical(const uint8_t* record) const override
    {
        const uint8_t* a = record + offset_;
        const auto* b = reinterpret_cast<const uint8_t*>(literal_.data());
        const int lengthB = static_cast<int>(literal_.size());
        if (op_ == CompareOp::Exact)
            return sameBytes(a, length_, b, lengthB);
        return holds(op_, comparePadded(a, length_, b, lengthB));
    }

private:
    CompareOp op_;
    int offset_;
    int length_;
    std::string literal_;
};

// Numbers, and dates as day numbers.
class NumberCompare : public Node {
public:
    NumberCompare(CompareOp op, NodePtr left, NodePtr right)
        : Node(ValueType::Logical, 1), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    bool logical(const uint8_t* record) const override
    {
        return holds(op_, orderOf(left_->number(record), right_->number(record)));
    }

private:
    CompareOp op_;
    NodePtr left_, right_;
};

NodePtr makeNumberFieldCompare(CompareOp op, const FieldDef& field, double value)
{
    FastTerm term;
    term.kind = FastTerm::Kind::Number;
    term.op = op;
    term.offset = field.offset;
    term.length = field.length;
    term.value = value;
    return std::make_unique<FastTermNode>(std::move(term));
}

NodePtr makeTextFieldCompare(CompareOp op, const FieldDef& field, std::string literal)
{
    if (op != CompareOp::Equal && op != CompareOp::NotEqual)
        return std::make_unique<TextFieldCompare>(op, field, std::move(literal));
    FastTerm term;
    term.kind = op == CompareOp::Equal ? FastTerm::Kind::TextEqual : FastTerm::Kind::TextNotEqual;
    term.offset = field.offset;
    term.length = field.length;
    std::size_t used = literal.size();
    while (used > 0 && literal[used - 1] == ' ')
        --used;
    term.possible = used <= static_cast<std::size_t>(field.length);
    literal.resize(static_cast<std::size_t>(field.length), ' ');
    term.padded = std::move(literal);
    if (field.length >= 8)
        std::memcpy(&term.head, term.padded.data(), 8);
    return std::make_unique<FastTermNode>(std::move(term));
}

class LogicalCompare : public Node {
public:
    LogicalCompare(CompareOp op, NodePtr left, NodePtr right)
        : Node(ValueType::Logical, 1), op_(op), left_(std::move(left)), right_(std::move(right)) {}
    bool logical(const uint8_t* record) const override
    {
        const bool same = left_->logical(record) == right_->logical(record);
        return op_ == CompareOp::NotEqual ? !same : same;
    }

private:
    CompareOp op_;
    NodePtr left_, right_;
};

// ---- Logical operators ----

// .AND. / .OR. chains keep their terms in one list and stop at the first deciding term.
class Junction : public Node {
public:
    explicit Junction(bool isAnd) : Node(ValueType::Logical, 1), isAnd_(isAnd) {}
    bool logical(const uint8_t* record) const override
    {
        for (const NodePtr& term : terms_) {
            if (term->logical(record) != isAnd_)
                return !isAnd_;
        }
        return isAnd_;
    }
    bool collectFastTerms(std::vector<FastTerm>& out) const override
    {
        if (!isAnd_)
            return false;
        for (const NodePtr& term : terms_) {
            if (!term->collectFastTerms(out))
                return false;
        }
        return true;
    }
    static NodePtr join(bool isAnd, NodePtr left, NodePtr right)
    {
        auto* chain = dynamic_cast<Junction*>(left.get());
        if (chain == nullptr || chain->isAnd_ != isAnd) {
            auto fresh = std::make_unique<Junction>(isAnd);
            fresh->terms_.push_back(std::move(left));
            chain = fresh.get();
            left = std::move(fresh);
        }
        chain->terms_.push_back(std::move(right));
        return left;
    }

private:
    bool isAnd_;
    std::vector<NodePtr> terms_;
};

class Not : public Node {
public:
    explicit Not(NodePtr arg) : Node(ValueType::Logical, 1), arg_(std::move(arg)) {}
    bool logical(const uint8_t* record) const override { return !arg_->logical(record); }

private:
    NodePtr arg_;
};

std::string constantText(const Node& node)
{
    return std::string(reinterpret_cast<const char*>(node.text(nullptr)),
                       static_cast<size_t>(node.width()));
}

} // namespace

bool FastTerm::holdsNumber(const uint8_t* record) const
{
    return holdsFor(parseNumber(record + offset, length));
}

bool FastTerm::holdsFor(double v) const
{
    switch (op) {
    case CompareOp::Equal:
    case CompareOp::Exact: return v == value;
    case CompareOp::NotEqual: return v != value;
    case CompareOp::Less: return v < value;
    case CompareOp::Greater: return v > value;
    case CompareOp::LessEqual: return v <= value;
    case CompareOp::GreaterEqual: return v >= value;
    }
    return false;
}

NodePtr makeField(const FieldDef& field)
{
    switch (field.type) {
    case FieldType::Character: return std::make_unique<TextField>(field);
    case FieldType::Numeric:
    case FieldType::Float: return std::make_unique<NumberField>(field);
    case FieldType::Logical: return std::make_unique<LogicalField>(field);
    case FieldType::Date: return std::make_unique<DateField>(field);
    case FieldType::Memo: break;
    }
    return nullptr;
}

NodePtr makeTextConstant(std::string bytes)
{
    return std::make_unique<TextConstant>(std::move(bytes));
}

NodePtr makeNumberConstant(double value)
{
    return std::make_unique<NumberConstant>(value);
}

NodePtr makeLogicalConstant(bool value)
{
    return std::make_unique<LogicalConstant>(value);
}

NodePtr makeConcat(NodePtr left, NodePtr right)
{
    return std::make_unique<Concat>(std::move(left), std::move(right));
}

NodePtr makeUpper(NodePtr arg)
{
    return std::make_unique<Upper>(std::move(arg));
}

NodePtr makeStr(NodePtr number, int length, int decimals)
{
    return std::make_unique<Str>(std::move(number), length, decimals);
}

NodePtr makeDtos(NodePtr date)
{
    return std::make_unique<Dtos>(std::move(date));
}

NodePtr makeAdd(NodePtr left, NodePtr right)
{
    return std::make_unique<Add>(std::move(left), std::move(right), false);
}

NodePtr makeSubtract(NodePtr left, NodePtr right)
{
    return std::make_unique<Add>(std::move(left), std::move(right), true);
}

NodePtr makeNegate(NodePtr arg)
{
    return std::make_unique<Negate>(std::move(arg));
}

NodePtr makeCompare(CompareOp op, NodePtr left, NodePtr right)
{
    // Put a field on the left and a constant on the right to use the direct forms.
    if (left->kind() == Node::Kind::Constant && right->kind() == Node::Kind::Field) {
        std::swap(left, right);
        op = mirrored(op);
    }
    const bool fieldAndConstant =
        left->kind() == Node::Kind::Field && right->kind() == Node::Kind::Constant;

    switch (left->type()) {
    case ValueType::Character:
        if (fieldAndConstant)
            return makeTextFieldCompare(op, *left->field(), constantText(*right));
        return std::make_unique<TextCompare>(op, std::move(left), std::move(right));
    case ValueType::Numeric:
        if (fieldAndConstant)
            return makeNumberFieldCompare(op, *left->field(), right->number(nullptr));
        return std::make_unique<NumberCompare>(op, std::move(left), std::move(right));
    case ValueType::Date:
        return std::make_unique<NumberCompare>(op, std::move(left), std::move(right));
    case ValueType::Logical:
        break;
    }
    return std::make_unique<LogicalCompare>(op, std::move(left), std::move(right));
}

NodePtr makeAnd(NodePtr left, NodePtr right)
{
    return Junction::join(true, std::move(left), std::move(right));
}

NodePtr makeOr(NodePtr left, NodePtr right)
{
    return Junction::join(false, std::move(left), std::move(right));
}

NodePtr makeNot(NodePtr arg)
{
    return std::make_unique<Not>(std::move(arg));
}

namespace {

// Any N/F text: long mantissas, decimals. Starts after blanks and sign.
double parseDecimal(const uint8_t* bytes, int i, int length)
{
    uint64_t mantissa = 0;
    int significant = 0;  // digits kept in the mantissa
    int scale = 0;        // power of ten to apply to the mantissa
    bool afterPoint = false;
    for (; i < length; ++i) {
        const uint8_t c = bytes[i];
        if (c >= '0' && c <= '9') {
            if (significant < 19) {
                mantissa = mantissa * 10 + (c - '0');
                if (mantissa != 0)
                    ++significant;
                if (afterPoint)
                    --scale;
            } else if (!afterPoint) {
                ++scale;  // digits beyond what 64 bits hold only shift the value
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    double value = static_cast<double>(mantissa);
    if (scale < 0)
        value /= powerOfTen(-scale);
    else if (scale > 0)
        value *= powerOfTen(scale);
    return value;
}

} // namespace

double parseNumberText(const uint8_t* bytes, int length)
{
    int i = 0;
    while (i < length && bytes[i] == ' ')
        ++i;
    bool negative = false;
    if (i < length && (bytes[i] == '-' || bytes[i] == '+')) {
        negative = bytes[i] == '-';
        ++i;
    }
    const double value = parseDecimal(bytes, i, length);
    return negative ? -value : value;
}

long dateFieldDay(const uint8_t* bytes)
{
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return 0;
        digits[i] = bytes[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    return julianDay(year, month, day);
}

namespace {

// Fixed-point text of value with the given decimals, rounded half away from zero.
// Returns the length written, or -1 when the value is too large for this method.
int formatFixed(double value, int decimals, char* out)
{
    double scaled = value * powerOfTen(decimals);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18)
        return -1;
    // A nudge so that 1.005 (stored as 1.00499...) still rounds up as written.
    scaled += std::copysign(std::fabs(scaled) * 1e-12, scaled);
    const long long rounded = std::llround(scaled);
    unsigned long long magnitude =
        rounded < 0 ? 0ULL - static_cast<unsigned long long>(rounded)
                    : static_cast<unsigned long long>(rounded);

    char reversed[32];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 || count <= decimals);

    int n = 0;
    if (rounded < 0)
        out[n++] = '-';
    for (int i = count - 1; i >= 0; --i) {
        if (i == decimals - 1)
            out[n++] = '.';
        out[n++] = reversed[i];
    }
    return n;
}

} // namespace

void formatStr(double value, int length, int decimals, char* out)
{
    char text[48];
    for (int d = decimals; d >= 0; --d) {
        const int n = formatFixed(value, d, text);
        if (n >= 0 && n <= length) {
            std::memset(out, ' ', static_cast<size_t>(length - n));
            std::memcpy(out + (length - n), text, static_cast<size_t>(n));
            return;
        }
    }
    std::memset(out, '*', static_cast<size_t>(length));
}

} // namespace xbase::expr
