// xbtool: looks into FoxPro tables, memos and compound indexes, and checks them.
#include "Commands.h"
#include "xbase/Error.h"

#include <cstdio>
#include <string>

namespace {

int usage()
{
    std::fputs("uso: xbtool dump ARQUIVO.dbf | tags ARQUIVO.cdx | keys ARQUIVO.cdx TAG | check ARQUIVO.dbf\n"
               "       | repair ARQUIVO.dbf [INDICES.cdx] | travas PASTA [OUTRA_VISTA_DA_PASTA]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    const std::string file = argv[2];
    try {
        if (command == "dump" && argc == 3)
            return xbtool::dumpTable(file);
        if (command == "tags" && argc == 3)
            return xbtool::listTags(file);
        if (command == "keys" && argc == 4)
            return xbtool::listKeys(file, argv[3]);
        if (command == "check" && argc == 3)
            return xbtool::checkTable(file);
        if (command == "repair" && (argc == 3 || argc == 4))
            return xbtool::repairTable(file, argc == 4 ? argv[3] : "");
        if (command == "travas" && (argc == 3 || argc == 4))
            return xbtool::checkLocks(file, argc == 4 ? argv[3] : file);
    } catch (const xbase::Error& e) {
        std::fprintf(stderr, "xbtool: %s\n", e.what());
        return 1;
    }
    return usage();
}
