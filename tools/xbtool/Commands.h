#pragma once
// The commands of xbtool. Each returns the process exit status; output is UTF-8.
#include "xbase/Cdx.h"

#include <string>

namespace xbtool {

int dumpTable(const std::string& dbfPath);                         // structure, then the records
int listTags(const std::string& cdxPath);                          // one line per tag
int listKeys(const std::string& cdxPath, const std::string& tag);  // "recno<TAB>key" in index order
int checkTable(const std::string& dbfPath);                        // 0 sound, 1 one line per problem
// Repairs a damaged table (copy kept beside it); tagSource defines the tags when the table's
// own .cdx cannot be read.
int repairTable(const std::string& dbfPath, const std::string& tagSource);
// Whether a byte-range lock taken on a file in folder stops another process that opens the file
// through otherView (the same folder, or another mount of the same share): 0 when it does.
int checkLocks(const std::string& folder, const std::string& otherView);

// Key types of a .cdx's tags, taken from the table of the same name beside it when there is one.
xbase::cdx::KeyTypeOf keyTypesBeside(const std::string& cdxPath);
// A key as text: character keys in UTF-8 without trailing blanks, numeric keys as their number.
std::string keyText(const std::string& key, xbase::cdx::KeyType type);

} // namespace xbtool
