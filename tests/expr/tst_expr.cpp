// Filter and key expressions evaluated on raw record bytes.
#include "xbase/Codepage.h"
#include "xbase/Error.h"
#include "xbase/Expr.h"

#include <QtTest>

#include <algorithm>
#include <iterator>
#include <cstring>

using namespace xbase;

namespace {

// NOME C20, TIPO C8, LICAO N3, PRECO N7.2, ATIVO L, DATA D, TEXTO M
std::vector<FieldDef> layout()
{
    std::vector<FieldDef> fields = {
        {"NOME", FieldType::Character, 20, 0, 0},
        {"TIPO", FieldType::Character, 8, 0, 0},
        {"LICAO", FieldType::Numeric, 3, 0, 0},
        {"PRECO", FieldType::Numeric, 7, 2, 0},
        {"ATIVO", FieldType::Logical, 1, 0, 0},
        {"DATA", FieldType::Date, 8, 0, 0},
        {"TEXTO", FieldType::Memo, 10, 0, 0},
    };
    int offset = 1;
    for (FieldDef& f : fields) {
        f.offset = offset;
        offset += f.length;
    }
    return fields;
}

// A record of the layout, built from UTF-8 texts as a table would store them.
class Record {
public:
    Record() : fields_(layout()), bytes_(59, ' ')
    {
        setText("NOME", "ANA");
        setText("TIPO", "Básico");
        setNumber("LICAO", "7");
        setNumber("PRECO", "12.50");
        setRaw("ATIVO", "T");
        setRaw("DATA", "20250131");
    }
    void setText(const char* name, const std::string& utf8) { setRaw(name, fromUtf8(utf8)); }
    // Right-aligned like an N field.
    void setNumber(const char* name, const std::string& digits)
    {
        const FieldDef& f = field(name);
        setRaw(name, std::string(static_cast<size_t>(f.length) - digits.size(), ' ') + digits);
    }
    // Left-aligned, padded with blanks.
    void setRaw(const char* name, const std::string& bytes)
    {
        const FieldDef& f = field(name);
        std::memset(&bytes_[static_cast<size_t>(f.offset)], ' ', static_cast<size_t>(f.length));
        std::memcpy(&bytes_[static_cast<size_t>(f.offset)], bytes.data(),
                    std::min(bytes.size(), static_cast<size_t>(f.length)));
    }
    const uint8_t* data() const { return bytes_.data(); }

private:
    const FieldDef& field(const char* name) const
    {
        return *std::find_if(fields_.begin(), fields_.end(),
                             [&](const FieldDef& f) { return f.name == name; });
    }
    std::vector<FieldDef> fields_;
    std::vector<uint8_t> bytes_;
};

QByteArray bytes(const std::string& s)
{
    return QByteArray(s.data(), static_cast<int>(s.size()));
}

QString errorOf(const std::string& text, bool filter)
{
    try {
        if (filter)
            Expression::compileFilter(text, layout());
        else
            Expression::compileKey(text, layout());
    } catch (const Error& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("(sem erro)");
}

const char* const kFiveTerms =
    "Nome = \"ANA\" .AND. Tipo=\"Básico\" .AND. Licao >= 1 .AND. Licao <= 60";

} // namespace

class TestExpr : public QObject {
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void keys_data();
    void keys();
    void numericKey_data();
    void numericKey();
    void numericKeysSortLikeNumbers();
    void julianDays_data();
    void julianDays();
    void errors_data();
    void errors();
    void deepNestingIsAnError();
    void emptyExpressionPassesEverything();
};

void TestExpr::filter_data()
{
    // A field to change in the default record ("" none); "NAME raw" stores the bytes as given.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("expected");

    auto row = [](const char* name, const char* field, const char* value, const char* expr,
                  bool expected) {
        QTest::newRow(name) << QString::fromUtf8(field) << QString::fromUtf8(value)
                            << QString::fromUtf8(expr) << expected;
    };
    // The comparison decision: whole values, trailing blanks ignored, never a prefix.
    row("= ignores field padding", "", "", "Nome = \"ANA\"", true);
    row("= ignores literal padding", "", "", "Nome = \"ANA   \"", true);
    row("= is no prefix match", "NOME", "ANAMARIA", "Nome = \"ANA\"", false);
    row("= longer literal", "", "", "Nome = \"ANAMARIA\"", false);
    row("= literal wider than the field", "", "", "Tipo = \"Básico e mais\"", false);
    row("<> literal wider than the field", "", "", "Tipo <> \"Básico e mais\"", true);
    row("= wider literal, blanks aside", "", "", "Tipo = \"Básico        \"", true);
    row("literals ANAMARIA = ANA", "", "", "\"ANAMARIA\" = \"ANA\"", false);
    row("literals ANA___ = ANA", "", "", "\"ANA   \" = \"ANA\"", true);
    row("= leading blank counts", "NOME", " ANA", "Nome = \"ANA\"", false);
    row("= blank field and empty text", "NOME", "", "Nome = \"\"", true);
    row("= differs after 8 bytes", "NOME", "ANAMARIAX", "Nome = \"ANAMARIA\" .AND. Licao = 7", false);
    row("= equal past 8 bytes", "NOME", "ANAMARIAX", "Nome = \"ANAMARIAX\" .AND. Licao = 7", true);
    row("<> differs after 8 bytes", "NOME", "ANAMARIAX", "Nome <> \"ANAMARIA\"", true);
    row("= is case-sensitive", "", "", "Nome = \"ana\"", false);
    row("== exact on padded field", "", "", "Nome == \"ANA\"", false);
    row("== exact full width", "", "", "Nome == \"ANA                 \"", true);
    row("== literals", "", "", "\"ANA\" == \"ANA\"", true);
    row("== trailing blank differs", "", "", "\"ANA \" == \"ANA\"", false);
    row("<> same", "", "", "Nome <> \"ANA\"", false);
    row("# prefix is different", "NOME", "ANAMARIA", "Nome # \"ANA\"", true);
    row("< bytewise", "", "", "Nome < \"ANB\"", true);
    row("> shorter padded with blanks", "", "", "Nome > \"AN\"", true);
    row("<= equal", "", "", "Nome <= \"ANA\"", true);
    row(">= equal", "", "", "Nome >= \"ANA  \"", true);
    row("< upper before lower", "", "", "Nome < \"ana\"", true);
    row("> accented after z", "NOME", "ÉVA", "Nome > \"ZZZ\"", true);
    row("literal on the left", "", "", "\"ANB\" > Nome", true);
    row("field vs field", "TIPO", "ANA", "Nome = Tipo", true);

    row("field names any case", "", "", "nOmE = \"ANA\"", true);
    row("accented literal", "", "", "Tipo = \"Básico\"", true);
    row("accent matters", "", "", "Tipo = \"Basico\"", false);
    row("single quotes", "", "", "Tipo = 'Básico'", true);
    row("brackets", "", "", "Tipo = [Básico]", true);
    row("UPPER of accents", "", "", "UPPER(Tipo) = \"BÁSICO\"", true);

    row("number =", "", "", "Licao = 7", true);
    row("number = decimal", "", "", "Licao = 7.0", true);
    row("number ==", "", "", "Licao == 7", true);
    row("number >", "", "", "Licao > 7", false);
    row("number < decimal", "", "", "Licao < 7.5", true);
    row("number <>", "", "", "Licao <> 7", false);
    row("number #", "", "", "Licao # 8", true);
    row("number compares numerically", "LICAO", "10", "Licao > 9", true);
    row("blank number is 0", "LICAO", "", "Licao = 0", true);
    row("negative field", "LICAO", "-3", "Licao = -3", true);
    row("negative below zero", "LICAO", "-3", "Licao < 0", true);
    row("left-aligned number", "LICAO raw", "7  ", "Licao = 7", true);
    row("plus sign", "LICAO raw", " +7", "Licao = 7", true);
    row("blank inside digits", "LICAO raw", "1 2", "Licao = 1", true);
    row("asterisks read as 0", "LICAO raw", "***", "Licao = 0", true);
    row("decimal field", "", "", "Preco = 12.5", true);
    row("negative decimal field", "PRECO raw", "  -0.75", "Preco = -0.75", true);
    row("decimal field >", "", "", "Preco > 12.49", true);
    row("constant on the left", "", "", "8 > Licao", true);
    row("arithmetic", "", "", "Licao + 1 = 8 .AND. Licao - 10 = -3", true);
    row("number terms on two fields", "", "", "Licao >= 1 .AND. Preco > 12 .AND. Licao <= 8", true);

    row("logical field", "", "", "Ativo", true);
    row("logical F", "ATIVO", "F", "Ativo", false);
    row("logical blank", "ATIVO", "", "Ativo", false);
    row("logical y", "ATIVO", "y", "Ativo", true);
    row("logical = .T.", "", "", "Ativo = .T.", true);
    row("logical <> .F.", "", "", "Ativo <> .f.", true);
    row(".NOT. field", "", "", ".NOT. Ativo", false);
    row("constants", "", "", ".t. .and. .F.", false);

    row("AND before OR", "", "", ".T. .OR. .T. .AND. .F.", true);
    row("parentheses", "", "", "(.T. .OR. .T.) .AND. .F.", false);
    row("NOT before AND", "", "", ".NOT. .F. .AND. .F.", false);
    row("comparison before NOT", "", "", ".NOT. Licao = 8", true);
    row("OR keeps looking", "", "", "Licao = 1 .OR. Licao = 7", true);
    row("keywords any case", "", "", "Licao = 7 .and. nome = \"ANA\" .Or. .n.", true);

    row("DTOS", "", "", "DTOS(Data) = \"20250131\"", true);
    row("blank date", "DATA", "", "DTOS(Data) = \"\"", true);
    row("dates compare by day", "", "", "Data = Data", true);
    row("STR in filter", "", "", "STR(Licao,3) = \"  7\"", true);
    row("concatenation", "", "", "Tipo + STR(Licao,3) = \"Básico    7\"", true);

    row("five terms", "", "", kFiveTerms, true);
    row("five terms, other student", "NOME", "ANAMARIA", kFiveTerms, false);
    row("five terms, lesson out of range", "LICAO", "61", kFiveTerms, false);
    row("five terms, other type", "TIPO", "Avançado", kFiveTerms, false);
}

void TestExpr::filter()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, expression);
    QFETCH(bool, expected);

    Record record;
    const std::string name = field.toStdString();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, " raw") == 0)
        record.setRaw(name.substr(0, name.size() - 4).c_str(), value.toStdString());
    else if (name == "LICAO")
        record.setNumber("LICAO", value.toStdString());
    else if (!name.empty())
        record.setText(name.c_str(), value.toStdString());

    const Expression e = Expression::compileFilter(expression.toStdString(), layout());
    QCOMPARE(e.type(), ValueType::Logical);
    QCOMPARE(e.test(record.data()), expected);
}

void TestExpr::keys_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QByteArray>("key");

    auto row = [](const char* expr, const std::string& key) {
        QTest::newRow(expr) << QString::fromUtf8(expr) << bytes(key);
    };
    row("Nome", "ANA" + std::string(17, ' '));
    row("UPPER(Tipo)", "B\xC1SICO  ");
    row("STR(Licao,3)", "  7");
    row("STR(Licao)", "         7");
    row("TIPO+STR(LICAO,3)", "B\xE1sico    7");
    row("Tipo+Nome", "B\xE1sico  ANA" + std::string(17, ' '));
    row("DTOS(Data)", "20250131");
    row("STR(Preco,5,1)", " 12.5");
    row("STR(Preco,3,1)", " 13");  // decimals give way before asterisks
    row("STR(Preco,1)", "*");
    row("STR(2.5,3)", "  3");     // half away from zero
    row("STR(-2.5,3)", " -3");
    row("STR(1.005,4,2)", "1.01");
    row("STR(1234,3)", "***");
    row("STR(0.5,4,2)", "0.50");
    row("STR(-0.4,2)", " 0");
    row("Licao", encodeNumericKey(7));
    row("Licao + Preco", encodeNumericKey(19.5));
    row("Data", encodeNumericKey(2460707));
}

void TestExpr::keys()
{
    QFETCH(QString, expression);
    QFETCH(QByteArray, key);

    const Expression e = Expression::compileKey(expression.toStdString(), layout());
    QCOMPARE(bytes(e.key(Record().data())), key);
    const bool character = e.type() == ValueType::Character;
    QCOMPARE(e.width(), character ? key.size() : 8);
}

void TestExpr::numericKey_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("key");

    QTest::newRow("0") << 0.0 << QByteArray::fromHex("8000000000000000");
    QTest::newRow("-0") << -0.0 << QByteArray::fromHex("8000000000000000");
    QTest::newRow("1") << 1.0 << QByteArray::fromHex("BFF0000000000000");
    QTest::newRow("2.5") << 2.5 << QByteArray::fromHex("C004000000000000");
    QTest::newRow("10") << 10.0 << QByteArray::fromHex("C024000000000000");
    QTest::newRow("-1") << -1.0 << QByteArray::fromHex("400FFFFFFFFFFFFF");
    QTest::newRow("2000-01-01") << 2451545.0 << QByteArray::fromHex("C142B42C80000000");
}

void TestExpr::numericKey()
{
    QFETCH(double, value);
    QFETCH(QByteArray, key);

    QCOMPARE(bytes(encodeNumericKey(value)), key);
    QCOMPARE(decodeNumericKey(key.toStdString()), value);
}

void TestExpr::numericKeysSortLikeNumbers()
{
    const double values[] = {-1e9, -100, -1.5, -1, -0.25, 0, 0.25, 1, 1.5, 10, 100, 2451545};
    for (size_t i = 1; i < std::size(values); ++i)
        QVERIFY2(encodeNumericKey(values[i - 1]) < encodeNumericKey(values[i]),
                 qPrintable(QString::number(values[i])));
    QVERIFY_THROWS_EXCEPTION(Error, decodeNumericKey("\x80"));
}

void TestExpr::julianDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("jdn");

    QTest::newRow("2000-01-01") << 2000 << 1 << 1 << 2451545;
    QTest::newRow("2025-01-31") << 2025 << 1 << 31 << 2460707;
    QTest::newRow("0001-01-01") << 1 << 1 << 1 << 1721426;
    QTest::newRow("1900-02-28") << 1900 << 2 << 28 << 2415079;
    QTest::newRow("1900-03-01") << 1900 << 3 << 1 << 2415080;  // 1900 has no Feb 29
    QTest::newRow("2024-02-29") << 2024 << 2 << 29 << 2460370;
}

void TestExpr::julianDays()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, jdn);
    QCOMPARE(julianDay(year, month, day), static_cast<long>(jdn));
}

void TestExpr::errors_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<QString>("message");

    auto row = [](const char* name, const char* expr, bool filter, const char* message) {
        QTest::newRow(name) << QString::fromUtf8(expr) << filter
                            << QStringLiteral("Expressão inválida na coluna ")
                                   + QString::fromUtf8(message);
    };
    row("unknown field", "Nome = \"ANA\" .AND. XYZ = 1", true, "20: campo 'XYZ' não existe");
    row("column counts characters", "Tipo = \"Básico\" .AND. Xyz", true,
        "23: campo 'Xyz' não existe");
    row("missing )", "(Licao = 1", true, "11: esperado ')'");
    row("missing ) in function", "STR(Licao,3 Nome", true, "13: esperado ')'");
    row("unterminated text", "Nome = \"ANA", true, "8: texto sem fechamento (falta \")");
    row("unterminated bracket", "Nome = [ANA", true, "8: texto sem fechamento (falta ])");
    row("text vs number", "Licao = \"7\"", true, "7: tipos incompatíveis em '=' (número e texto)");
    row("logical ordering", "Ativo < .T.", true, "7: '<' não compara valores lógicos");
    row("not in Windows-1252", "Nome = \"日本\"", true,
        "8: o texto \"日本\" tem caractere que o Windows-1252 não tem");
    row("stray character", "Licao @ 1", true, "7: caractere inesperado '@'");
    row("stray accented character", "Licao ç 1", true, "7: caractere inesperado 'ç'");
    row("unknown operator", "Licao = 1 .XOR. .T.", true, "11: operador '.XOR.' desconhecido");
    row("unknown function", "FOO(Nome) = \"A\"", true, "1: função 'FOO' desconhecida");
    row("STR length 0", "STR(Licao, 0)", false,
        "12: o tamanho em STR deve ser um número inteiro de 1 a 254");
    row("STR length not constant", "STR(Licao, Licao)", false,
        "12: o tamanho em STR deve ser um número inteiro de 1 a 254");
    row("STR of text", "STR(Nome)", false, "5: STR() espera número, não texto");
    row("UPPER arguments", "UPPER(Nome, Tipo)", false, "1: número errado de argumentos em UPPER()");
    row("DTOS of number", "DTOS(Licao)", false, "6: DTOS() espera data, não número");
    row("AND of text", "Nome .AND. .T.", true, "6: '.AND.' precisa de valores lógicos, não de texto");
    row("NOT of number", ".NOT. Licao", true, "1: '.NOT.' precisa de valores lógicos, não de número");
    row("text plus number", "Nome + Licao", false, "6: tipos incompatíveis em '+' (texto e número)");
    row("text minus text", "Nome - Tipo", false, "6: '-' não se aplica a texto");
    row("memo field", "Texto = \"a\"", true,
        "1: o campo memo 'Texto' não pode ser usado em expressões");
    row("empty", "", true, "1: expressão vazia");
    row("blank", "   ", true, "4: expressão vazia");
    row("incomplete", "Licao =", true, "8: expressão incompleta");
    row("operator where a value goes", "Licao = = 1", true, "9: esperado um valor, encontrado '='");
    row("trailing value", "Licao = 1 2", true, "11: esperado o fim da expressão, encontrado '2'");
    row("lone dot", "Licao = 1 .", true, "11: caractere inesperado '.'");
    row("filter must be logical", "Nome", true, "1: o filtro deve ser uma condição lógica, não texto");
    row("key must not be logical", "Ativo", false, "1: a chave de índice não pode ser lógica");
    row("key too long", "Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome+Nome", false,
        "1: chave de índice longa demais (260 bytes, máximo 240)");
}

void TestExpr::errors()
{
    QFETCH(QString, expression);
    QFETCH(bool, filter);
    QFETCH(QString, message);
    QCOMPARE(errorOf(expression.toStdString(), filter), message);
}

void TestExpr::deepNestingIsAnError()
{
    const std::string deep = std::string(5000, '(') + "Licao = 1" + std::string(5000, ')');
    QVERIFY(errorOf(deep, true).endsWith(QStringLiteral("expressão aninhada demais")));
    const std::string negations = std::string(5000, '-') + "1 = Licao";
    QVERIFY(errorOf(negations, true).endsWith(QStringLiteral("expressão aninhada demais")));
}

void TestExpr::emptyExpressionPassesEverything()
{
    Expression none;
    QVERIFY(!none.isValid());
    QVERIFY(none.test(Record().data()));

    Expression moved = Expression::compileFilter("Licao = 7", layout());
    none = std::move(moved);
    QVERIFY(none.isValid());
    QCOMPARE(none.text(), std::string("Licao = 7"));
    QVERIFY(none.test(Record().data()));
}

QTEST_GUILESS_MAIN(TestExpr)
#include "tst_expr.moc"
