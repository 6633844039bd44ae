#pragma once
// Functions of a library opened with dlopen, looked up by name.

#include <dlfcn.h>

namespace plataforma {

template <class Funcao>
bool resolver(void* biblioteca, const char* nome, Funcao& funcao)
{
    funcao = reinterpret_cast<Funcao>(dlsym(biblioteca, nome));
    return funcao != nullptr;
}

}  // namespace plataforma
