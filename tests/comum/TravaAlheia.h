#pragma once
// A table's append lock held the way another computer holds it while it posts (the locks
// belong to the open file, so a file opened here is another computer to the program), with
// the program's lock wait made short meanwhile.
#include "xbase/Environment.h"
#include "xbase/File.h"
#include "xbase/Locks.h"

#include <string>

class TravaAlheia {
public:
    explicit TravaAlheia(const std::string& dbf, int esperaMs = 30)
        : espera_(xbase::environment().lockWaitMilliseconds)
    {
        xbase::environment().lockWaitMilliseconds = esperaMs;
        arquivo_.open(dbf, false);
        const bool comIndice = xbase::fileExists(xbase::companionPath(dbf, "cdx"));
        trava_ = xbase::locks::Lock(arquivo_.descriptor(), xbase::locks::appendLock(comIndice), dbf);
    }
    ~TravaAlheia() { xbase::environment().lockWaitMilliseconds = espera_; }

private:
    int espera_;
    xbase::File arquivo_;
    xbase::locks::Lock trava_;
};
