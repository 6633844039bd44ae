#pragma once
#include "Schema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

// What a repair did, for the message that follows it.
struct RepairReport {
    std::string backupDir;        // where the damaged files were copied
    uint32_t recordsKept = 0;
    uint32_t recordsDropped = 0;  // cut or unreadable records past the count
    uint32_t memosCleared = 0;    // memo pointers into nothing, emptied
    std::vector<std::string> tagsRebuilt;
};

// Repairs a damaged table: copies its files into a new folder beside them, keeps every whole
// record, rewrites the header's count, empties memo pointers that lead nowhere and rebuilds
// every tag. When the table's own .cdx cannot be read, the tags are defined by tagSource (the
// .cdx of a sound table of the same layout), if given. A header whose counts or lengths are
// garbage is rebuilt from `layout` (the fields the table was made with), if given, when the
// file's field list is that one. Throws Error when the header cannot be known: nothing can be
// kept then, and nothing is changed.
RepairReport repairTable(const std::string& dbfPath, const std::string& tagSource = {},
                         const std::vector<FieldDef>& layout = {});

} // namespace xbase
