// .fpt reader: header, block size, every memo pointer around the used area.
#include "FuzzFiles.h"
#include "xbase/Error.h"
#include "xbase/Memo.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::writeScratch("F.fpt", data, size);
    xbase::MemoFile memo;
    try {
        memo.open(path, true);
    } catch (const xbase::Error&) {
        return 0;
    }
    const uint32_t last = std::min<uint32_t>(memo.nextFree() + 2, 256);
    for (uint32_t block = 0; block <= last; ++block) {
        try {
            memo.read(block);
        } catch (const xbase::Error&) {
        }
    }
    for (uint32_t block : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
        try {
            memo.read(block);
        } catch (const xbase::Error&) {
        }
    }
    return 0;
}
