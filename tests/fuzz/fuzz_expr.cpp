// Expression compiler: the input is the expression text, compiled against a fixed layout and
// evaluated on records with ordinary, blank and junk bytes.
#include "xbase/Error.h"
#include "xbase/Expr.h"

#include <string>
#include <vector>

namespace {

std::vector<xbase::FieldDef> layout()
{
    using xbase::FieldType;
    std::vector<xbase::FieldDef> fields = {
        {"NOME", FieldType::Character, 20, 0, 0}, {"TIPO", FieldType::Character, 8, 0, 0},
        {"LICAO", FieldType::Numeric, 3, 0, 0},   {"PRECO", FieldType::Float, 20, 4, 0},
        {"ATIVO", FieldType::Logical, 1, 0, 0},   {"DATA", FieldType::Date, 8, 0, 0},
        {"TEXTO", FieldType::Memo, 10, 0, 0},
    };
    int offset = 1;
    for (auto& f : fields) {
        f.offset = offset;
        offset += f.length;
    }
    return fields;
}

std::vector<std::string> records()
{
    // Deletion flag, then NOME, TIPO, LICAO, PRECO, ATIVO, DATA, TEXTO as the layout gives them.
    const std::string normal = std::string(" ") + "ANA                 " + "B\xE1sico  " + "  7"
                             + "          12345.6789" + "T" + "20250131" + "         8";
    return {normal, std::string(normal.size(), ' '), std::string(normal.size(), '\xFF'),
            std::string(normal.size(), '9'), std::string(normal.size(), '-'),
            std::string(normal.size(), '\0')};
}

void evaluate(const xbase::Expression& e)
{
    static const std::vector<std::string> all = records();
    for (const std::string& r : all) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(r.data());
        if (e.type() == xbase::ValueType::Logical)
            e.test(bytes);
        e.key(bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<xbase::FieldDef> fields = layout();
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        evaluate(xbase::Expression::compile(text, fields));
    } catch (const xbase::Error&) {
    }
    try {
        evaluate(xbase::Expression::compileKey(text, fields));
    } catch (const xbase::Error&) {
    }
    return 0;
}
