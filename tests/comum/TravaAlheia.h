#pragma once
// A table's lock held the way another computer holds it (the locks belong to the open file,
// so a file opened here is another computer to the program): the append lock, as while it
// posts, or the table alone, as while it packs; the program's lock wait made short meanwhile.
#include "xbase/Environment.h"
#include "xbase/File.h"
#include "xbase/Locks.h"

#include <string>

class TravaAlheia {
public:
    enum class Trava { Anexacao, Sozinho };

    explicit TravaAlheia(const std::string& dbf, Trava qual = Trava::Anexacao)
        : espera_(xbase::environment().lockWaitMilliseconds)
    {
        xbase::environment().lockWaitMilliseconds = 30;
        arquivo_.open(dbf, false);
        const bool comIndice = xbase::fileExists(xbase::companionPath(dbf, "cdx"));
        const xbase::locks::Range faixa =
            qual == Trava::Anexacao ? xbase::locks::appendLock(comIndice) : xbase::locks::openLock();
        trava_ = xbase::locks::Lock(arquivo_.descriptor(), faixa, dbf);
    }
    ~TravaAlheia() { xbase::environment().lockWaitMilliseconds = espera_; }

private:
    int espera_;
    xbase::File arquivo_;
    xbase::locks::Lock trava_;
};
