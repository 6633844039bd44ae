// The writes of the end of a lesson, over and over, for the kill-and-check test: a result row
// appended, the student's lesson and the record edited, and now and then a lesson text edited
// and its table packed. After each round whose posts all returned, the round's number goes to
// stdout. Run as: kill_child DIR
#include "xbase/Table.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    try {
        xbase::Table relat, usuario, recorde, licao;
        relat.open(dir, "Relat.dbf");
        usuario.open(dir, "Usuario.dbf");
        recorde.open(dir, "Recorde.dbf");
        licao.open(dir, "Licao.dbf");
        for (uint32_t round = relat.physicalCount() + 1;; ++round) {
            const std::string mark = std::to_string(round);
            relat.insert();
            relat.setString("NOME", "R" + mark);
            relat.setString("TIPO", "Básico");
            relat.setInteger("LICAO", round % 1000);
            relat.post();
            for (xbase::Table* t : {&usuario, &recorde}) {
                t->first();
                t->edit();
                t->setString("NOME", "U" + mark);
                t->post();
            }
            if (round % 4 == 0) {
                licao.last();
                if (!licao.eof())  // a kill after the delete left no live lesson
                    licao.deleteRecord();
                licao.insert();
                licao.setString("NOME", "L" + mark);
                licao.setString("TIPO", "Textos");
                licao.setInteger("LICAO", round % 1000);
                licao.setString("TEXTO", std::string(round % 300, 't') + mark);
                licao.post();
                licao.pack();
            }
            std::printf("%u\n", round);
            std::fflush(stdout);
        }
    } catch (const xbase::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
