#include "Commands.h"
#include "xbase/Repair.h"

#include <cstdio>

namespace xbtool {

int repairTable(const std::string& dbfPath, const std::string& tagSource)
{
    const xbase::RepairReport report = xbase::repairTable(dbfPath, tagSource);
    std::printf("%s: reparada; cópia dos arquivos danificados em %s\n", dbfPath.c_str(), report.backupDir.c_str());
    std::printf("  %u registros mantidos, %u descartados, %u memos esvaziados\n", report.recordsKept,
                report.recordsDropped, report.memosCleared);
    for (const std::string& tag : report.tagsRebuilt)
        std::printf("  índice %s refeito\n", tag.c_str());
    return 0;
}

} // namespace xbtool
