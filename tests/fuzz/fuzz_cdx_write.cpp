// .cdx write path: a random sequence of inserts, key changes and deletions on a small tagged
// table. After each step the file is read back in full (structure, sibling links, free space,
// key order) and every tag must list exactly the keys of the records. Now and then the table
// is reopened, so that pages freed earlier are found again in the file's free list.
#include "FuzzFiles.h"
#include "xbase/Cdx.h"
#include "xbase/Environment.h"
#include "xbase/Error.h"
#include "xbase/Table.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxSteps = 48;
constexpr int kNameLength = 100;  // long keys: four to a node, so few records make deep trees

struct Row {
    std::string nome;
    int licao;
};

// Input bytes taken one at a time; zeros once they run out.
class Bytes {
public:
    Bytes(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Names sharing beginnings and ends of many lengths, to vary leaf compression.
std::string nameOf(uint8_t a, uint8_t b)
{
    std::string name(std::size_t(a % 4) * 20, char('A' + a % 3));
    name += std::to_string(b);
    name += std::string(std::size_t(b % 7) * 9, char('a' + b % 5));
    name.resize(std::min<std::size_t>(name.size(), kNameLength));
    return name;
}

std::string padded(std::string key, std::size_t length, char pad)
{
    key.resize(length, pad);
    return key;
}

void checkTags(const std::string& cdxPath, const std::vector<Row>& rows)
{
    const auto tags = xbase::cdx::read(cdxPath, [](const std::string& expression) {
        return expression == "LICAO" ? xbase::cdx::KeyType::Numeric : xbase::cdx::KeyType::Character;
    });
    for (const xbase::cdx::Tag& tag : tags) {
        if (tag.entries.size() != rows.size())
            std::abort();
        if (tag.name != "NOME")
            continue;
        std::vector<xbase::cdx::Entry> expected;
        for (std::size_t i = 0; i < rows.size(); ++i)
            expected.push_back({padded(rows[i].nome, kNameLength, ' '), uint32_t(i + 1)});
        std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
            return a.key != b.key ? a.key < b.key : a.recno < b.recno;
        });
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (tag.entries[i].key != expected[i].key || tag.entries[i].recno != expected[i].recno)
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    xbase::environment().syncOnPost = false;  // each input is checked in memory, not on a power cut
    const std::string& dir = fuzz::scratchDir();
    xbase::Table::create(dir, "W.DBF",
                         {{"NOME", xbase::FieldType::Character, kNameLength, 0, 0},
                          {"LICAO", xbase::FieldType::Numeric, 3, 0, 0}},
                         {{"NOME", "NOME"}, {"LICAO", "LICAO"}});
    const std::string cdxPath = dir + "/W.CDX";
    std::vector<Row> rows;
    xbase::Table table;
    table.open(dir, "W.DBF");
    Bytes bytes(data, size);
    for (std::size_t step = 0; step < kMaxSteps && !bytes.empty(); ++step) {
        const uint8_t what = bytes.next();
        if (what % 11 == 5) {  // reopened: the free-page list is read back from the file
            table.close();
            table.open(dir, "W.DBF");
        }
        const Row row{nameOf(bytes.next(), bytes.next()), bytes.next() % 100};
        if (rows.empty() || what % 3 == 0) {
            table.insert();
            rows.push_back(row);
        } else {
            const uint32_t recno = 1 + bytes.next() % rows.size();
            table.goTo(recno);
            if (what % 7 == 1) {
                table.deleteRecord();  // the entries stay
                checkTags(cdxPath, rows);
                continue;
            }
            table.edit();
            rows[recno - 1] = row;
        }
        table.setString("NOME", row.nome);
        table.setInteger("LICAO", row.licao);
        table.post();
        checkTags(cdxPath, rows);
    }
    table.close();
    return 0;
}
