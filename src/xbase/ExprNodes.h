#pragma once
// Evaluation nodes of compiled expressions. Internal to the engine.
//
// Every node has a fixed result type, and a character node a fixed width: its text() always
// yields exactly width() bytes. Nodes that build text (concatenation, UPPER, STR) write into
// a buffer of their own sized at compile time, so evaluating never allocates. That buffer also
// makes evaluation single-threaded per compiled expression.
#include "Expr.h"
#include "ExprValue.h"
#include "Schema.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace xbase::expr {

enum class CompareOp { Equal, Exact, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// A field compared with a constant, tested without a virtual call. A filter that is one such
// term or an .AND. chain of them (the shape of every filter the program builds) is run as a
// flat list of these.
struct FastTerm {
    enum class Kind : uint8_t { TextEqual, TextNotEqual, Number };
    Kind kind = Kind::TextEqual;
    CompareOp op = CompareOp::Equal;  // Number
    bool possible = true;  // Text: false when the literal, blanks aside, is longer than the field
    int offset = 0;
    int length = 0;
    double value = 0;      // Number
    std::string padded;    // Text: the literal padded with blanks to the field's length
    uint64_t head = 0;     // Text: the first 8 bytes of padded, when the field has 8 or more

    bool holds(const uint8_t* record) const
    {
        if (kind == Kind::Number)
            return holdsNumber(record);
        const uint8_t* field = record + offset;
        const auto* literal = reinterpret_cast<const uint8_t*>(padded.data());
        bool equal;
        if (length >= 8) {
            // Most records differ in their first 8 bytes: one load and one comparison.
            uint64_t first;
            std::memcpy(&first, field, 8);
            equal = first == head && equalBytes(field + 8, literal + 8, length - 8);
        } else {
            equal = equalBytes(field, literal, length);
        }
        equal = equal && possible;
        return kind == Kind::TextEqual ? equal : !equal;
    }
    // Out of line: inlined, its register needs would slow every call of the text terms.
    bool holdsNumber(const uint8_t* record) const;
    // Number terms: whether the field's value v satisfies the term.
    bool holdsFor(double v) const;
};

class Node {
public:
    enum class Kind { Field, Constant, Other };

    Node(ValueType type, int width, Kind kind = Kind::Other)
        : type_(type), width_(width), kind_(kind) {}
    virtual ~Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Only the accessor that matches type() is meaningful.
    virtual bool logical(const uint8_t*) const { return false; }
    // Numbers; for dates the Julian day number (0 for a blank date).
    virtual double number(const uint8_t*) const { return 0; }
    // Character results (and the raw YYYYMMDD bytes of a date field): width() bytes.
    virtual const uint8_t* text(const uint8_t*) const { return nullptr; }

    ValueType type() const { return type_; }
    int width() const { return width_; }
    Kind kind() const { return kind_; }
    // For field nodes: where the field lies in the record.
    virtual const FieldDef* field() const { return nullptr; }
    // Appends this condition as fast terms; false when it has another shape.
    virtual bool collectFastTerms(std::vector<FastTerm>&) const { return false; }

private:
    ValueType type_;
    int width_;
    Kind kind_;
};

using NodePtr = std::unique_ptr<Node>;

// Leaves
NodePtr makeField(const FieldDef& field);
NodePtr makeTextConstant(std::string bytes);
NodePtr makeNumberConstant(double value);
NodePtr makeLogicalConstant(bool value);

// Character functions and operators
NodePtr makeConcat(NodePtr left, NodePtr right);
NodePtr makeUpper(NodePtr arg);
NodePtr makeStr(NodePtr number, int length, int decimals);
NodePtr makeDtos(NodePtr date);

// Numbers
NodePtr makeAdd(NodePtr left, NodePtr right);
NodePtr makeSubtract(NodePtr left, NodePtr right);
NodePtr makeNegate(NodePtr arg);

// Conditions. Operands have the same type; the caller checks it.
NodePtr makeCompare(CompareOp op, NodePtr left, NodePtr right);
NodePtr makeAnd(NodePtr left, NodePtr right);
NodePtr makeOr(NodePtr left, NodePtr right);
NodePtr makeNot(NodePtr arg);

// Value helpers (parseNumber and the other inline readers are in ExprValue.h).

// Julian day number of a D field's YYYYMMDD bytes; 0 when blank or not a date.
long dateFieldDay(const uint8_t* bytes);
// FoxPro STR(): right-aligned in exactly length bytes, rounded half away from zero; decimals
// are dropped when the number does not fit with them, and a number too wide even without
// decimals becomes asterisks.
void formatStr(double value, int length, int decimals, char* out);

} // namespace xbase::expr
