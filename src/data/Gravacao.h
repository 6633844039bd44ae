#pragma once
#include "TApTable.h"

// One write of a record by hand: the constructor begins the edit of the current record or the
// insert of a new one, gravar() posts it, and the destructor cancels it when nothing was
// stored. Whatever happens between (a refusal, a failed post, an error in the caller), no
// record stays in edit or insert and no record lock stays held.
class Gravacao {
public:
    enum class Modo { Editar, Incluir };

    Gravacao(TApTable* tabela, Modo modo);
    ~Gravacao();
    Gravacao(const Gravacao&) = delete;
    Gravacao& operator=(const Gravacao&) = delete;

    // True when the record was written; false when the record rules refused it. Throws the
    // engine's error when the post failed.
    bool gravar();
    // Drops the change now (a caller that finds nothing to write).
    void desistir();

private:
    TApTable* tabela_;
    bool terminada_ = false;
};
