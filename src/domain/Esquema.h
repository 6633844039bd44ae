#pragma once
#include "xbase/Schema.h"

#include <string>
#include <vector>

namespace dominio {

// The layout of a shipped table: its fields (names, types, widths) and the tags of its
// structural index. Written once here; the table builder and the tests' worlds make their
// tables from it.
struct EsquemaTabela {
    const char* arquivo;  // file name as shipped ("Usuario.dbf"); lesson and keyboard tables
                          // have several files of one layout
    std::vector<xbase::FieldDef> campos;
    std::vector<xbase::TagDef> tags;
};

const EsquemaTabela& esquemaUsuario();
const EsquemaTabela& esquemaRelat();
const EsquemaTabela& esquemaRecorde();
const EsquemaTabela& esquemaExigen();
const EsquemaTabela& esquemaConfig();
const EsquemaTabela& esquemaLicao();    // LicaoA.dbf, LicaoB.dbf
const EsquemaTabela& esquemaTeclado();  // TecladoA.dbf, TecladoB.dbf, TecladoN.dbf

// The layout of a table of the working folder by its file name, case aside ("LICAOA.DBF"):
// the shipped ones and the key figures the program makes. Null for any other file.
const EsquemaTabela* esquemaDoArquivo(const std::string& arquivo);

// A table the program makes in the working folder when first needed, in the layout of this
// version: made where none is yet and, where an older version made it without some of this
// version's fields, rewritten with them, its rows kept (fields matched by name; a new field
// starts blank; a field only a later version knows stays). Fields are then found by name.
// Throws xbase::Error (Busy) when other computers kept it open meanwhile.
void garantirLayout(const std::string& dir, const EsquemaTabela& esquema);

// Makes the empty table in `dir` (under `arquivo`, or the layout's own file name).
void criarTabela(const std::string& dir, const EsquemaTabela& esquema, const std::string& arquivo = {});

} // namespace dominio
