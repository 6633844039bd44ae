#include "SystemError.h"

#include <cerrno>

namespace xbase {

std::string systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return "disco cheio";
#ifdef EDQUOT
    case EDQUOT: return "cota de disco esgotada";
#endif
    case EFBIG: return "arquivo grande demais (limite de tamanho de arquivo)";
    case EROFS: return "o disco ou a pasta é somente para leitura";
    case EACCES:
    case EPERM: return "sem permissão de acesso";
    case ENOENT: return "arquivo ou pasta não encontrado";
    case ENOTDIR: return "um nome do caminho não é uma pasta";
    case EISDIR: return "é uma pasta, não um arquivo";
    case EEXIST: return "o arquivo já existe";
    case ENAMETOOLONG: return "nome de arquivo longo demais";
    case EMFILE:
    case ENFILE: return "arquivos abertos demais";
    case EIO: return "erro de entrada e saída no disco";
    case EBUSY: return "o arquivo está em uso";
    case ETXTBSY: return "o arquivo está em uso";
    case EXDEV: return "o arquivo está em outro disco";
    case ENOMEM: return "memória insuficiente";
    case EINVAL: return "operação inválida";
    case ELOOP: return "ligações simbólicas demais no caminho";
    case ENXIO:
    case ENODEV: return "dispositivo não encontrado";
    default: return "erro do sistema " + std::to_string(errorNumber);
    }
}

ErrorKind systemErrorKind(int errorNumber)
{
    return errorNumber == ENOENT || errorNumber == ENOTDIR ? ErrorKind::Missing : ErrorKind::System;
}

} // namespace xbase
