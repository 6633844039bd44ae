// .cdx reader: the tag directory and every tag's tree, read as character and as numeric keys.
#include "FuzzFiles.h"
#include "xbase/Cdx.h"
#include "xbase/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::writeScratch("F.cdx", data, size);
    try {
        xbase::cdx::tagNames(path);
    } catch (const xbase::Error&) {
    }
    try {
        xbase::cdx::read(path);
    } catch (const xbase::Error&) {
    }
    try {
        xbase::cdx::read(path, [](const std::string&) { return xbase::cdx::KeyType::Numeric; });
    } catch (const xbase::Error&) {
    }
    return 0;
}
