#pragma once
// The tables the post tests of the simulated disk make and how they compare them: shared by
// the power-cut test and the fault test.
#include "XbaseTestUtil.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testutil {

using xbase::Table;

inline const std::string kDisk = "/disco";

struct Scenario {
    std::vector<std::string> tables;
    std::function<void()> setup;  // makes the tables on the disk
    std::function<bool()> post;   // true when acknowledged
};

inline void fill(Table& t, int from, int to, bool withMemo)
{
    for (int i = from; i <= to; ++i) {
        t.insert();
        t.setString("NOME", "ALUNO " + std::to_string(i));
        t.setString("TIPO", i % 3 ? "Básico" : "Textos");
        t.setInteger("LICAO", i % 60 + 1);
        if (withMemo)
            t.setString("TEXTO", "texto da lição " + std::to_string(i) + std::string(std::size_t(i % 5) * 40, 'x'));
        t.post();
    }
}

inline void makeTable(const char* name, bool withMemo, std::vector<xbase::TagDef> tags, int rows)
{
    Table::create(kDisk, name, withMemo ? lessonFields(true) : lessonFields(false), tags);
    Table t;
    t.open(kDisk, name);
    fill(t, 1, rows, withMemo);
}

// Goes to the record whose NOME is that and edits it.
inline void editRow(Table& t, const std::string& nome)
{
    if (!t.locate("NOME", nome))
        throw std::logic_error("no row " + nome);
    t.edit();
}

inline const std::vector<xbase::TagDef> kTipo = {{"TIPO", "TIPO+STR(LICAO,3)"}, {"NOME", "NOME"}};

// What the tables hold as a user sees them: the visible records in file order with every field
// (memos too), then for each tag the records in its order. Read-only opens list the records only.
inline std::string describe(const std::vector<std::string>& tables, bool readOnly)
{
    std::string text;
    for (const std::string& name : tables) {
        Table t;
        t.open(kDisk, name, readOnly);
        if (!readOnly) {
            const auto wrong = t.checkTags();
            if (!wrong.empty())
                throw std::runtime_error(name + ": tags that disagree after the open: " + wrong.front());
        }
        const auto rows = [&] {
            std::string r;
            for (t.first(); !t.eof(); t.next()) {
                for (int f = 0; f < t.fieldCount(); ++f)
                    r += t.asString(f) + "|";
                r += "\n";
            }
            return r;
        };
        text += name + ":\n" + rows();
        if (readOnly)
            continue;
        for (const std::string& tag : t.tagNames()) {
            t.setIndexName(tag);
            text += "tag " + tag + ":\n" + rows();
        }
    }
    return text;
}

} // namespace testutil
