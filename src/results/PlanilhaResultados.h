#pragma once
#include "domain/Planilha.h"

class TApTable;

// The results that the table's filter lets through, as a sheet, one row per result in the
// table's order. The table is left at its end, as the list's own walk leaves it.
dominio::Planilha planilhaResultados(TApTable* relat);
