#pragma once
// Small helpers shared by the engine tests: files as bytes, and the tables the tests use.
#include "xbase/Table.h"

#include <QFile>
#include <QString>
#include <string>

namespace testutil {

inline std::string path(const QString& dir, const char* name)
{
    return (dir + "/" + name).toStdString();
}

inline QByteArray readFile(const std::string& file)
{
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void writeFile(const std::string& file, const QByteArray& bytes)
{
    QFile f(QString::fromStdString(file));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

inline uint32_t le32(const QByteArray& b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16
           | uint32_t(uint8_t(b[at + 3])) << 24;
}

inline xbase::FieldDef field(const char* name, xbase::FieldType type, int length, int decimals = 0)
{
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.length = length;
    f.decimals = decimals;
    return f;
}

// A results-like table: NOME C(20), TIPO C(10), LICAO N(3), and optionally a memo TEXTO.
inline std::vector<xbase::FieldDef> lessonFields(bool withMemo)
{
    using xbase::FieldType;
    std::vector<xbase::FieldDef> fields {field("NOME", FieldType::Character, 20),
                                         field("TIPO", FieldType::Character, 10),
                                         field("LICAO", FieldType::Numeric, 3)};
    if (withMemo)
        fields.push_back(field("TEXTO", FieldType::Memo, 10));
    return fields;
}

struct Row {
    const char* nome;
    const char* tipo;
    int licao;
};

inline void append(xbase::Table& t, const Row& row)
{
    t.insert();
    t.setString("Nome", row.nome);
    t.setString("Tipo", row.tipo);
    t.setInteger("Licao", row.licao);
    t.post();
}

} // namespace testutil
