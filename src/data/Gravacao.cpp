#include "Gravacao.h"

Gravacao::Gravacao(TApTable* tabela, Modo modo) : tabela_(tabela)
{
    if (modo == Modo::Editar) tabela_->edit();
    else tabela_->insert();
}

Gravacao::~Gravacao()
{
    if (terminada_) return;
    try {
        desistir();
    } catch (...) {
        // Releasing a lock the system no longer knows: nothing is left to undo.
    }
}

bool Gravacao::gravar()
{
    terminada_ = tabela_->post();
    return terminada_;
}

void Gravacao::desistir()
{
    terminada_ = true;
    if (tabela_->editing()) tabela_->cancel();
}
