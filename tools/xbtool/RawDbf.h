#pragma once
// The .dbf header as it lies in the file, read without the engine so that xbtool can describe
// and check files the engine itself would refuse.
#include "xbase/Schema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xbtool {

struct RawDbf {
    std::string bytes;  // the whole file
    uint8_t version = 0;
    uint32_t count = 0;
    uint32_t headerLength = 0;
    uint32_t recordLength = 0;
    uint8_t flags = 0;
    uint8_t codePage = 0;
    std::vector<xbase::FieldDef> fields;
    bool usable = false;  // header sound enough to walk the records
    std::vector<std::string> notes;  // what is unusual but sound

    bool isVisualFoxPro() const { return version >= 0x30 && version <= 0x32; }
    bool hasMemoFields() const;
    // Records actually present in the file (may differ from count in a damaged file).
    uint32_t recordsPresent() const;
    const uint8_t* record(uint32_t recno) const;  // 1-based, recno <= recordsPresent()
    std::string fieldBytes(uint32_t recno, const xbase::FieldDef& field) const;
};

// Reads path and its header. Every fault of the header is appended to problems.
RawDbf readRawDbf(const std::string& path, std::vector<std::string>& problems);

std::string versionName(uint8_t version);

} // namespace xbtool
