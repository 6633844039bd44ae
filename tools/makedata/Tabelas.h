#pragma once
#include "Licoes.h"
#include "Teclado.h"

#include <string>
#include <vector>

namespace makedata {

// Each function makes one shipped table (with its memo and index files) in `dir`.
void criarLicoes(const std::string& dir, const std::string& arquivo, const std::vector<Licao>& licoes);
void criarTeclado(const std::string& dir, const std::string& arquivo, const MapaTeclado& mapa);
void criarUsuario(const std::string& dir);
void criarRelat(const std::string& dir);
void criarRecorde(const std::string& dir, const std::vector<std::vector<std::string>>& linhas);
void criarExigen(const std::string& dir, const std::vector<std::vector<std::string>>& linhas);
void criarConfig(const std::string& dir, const std::map<std::string, std::string>& valores);

// The text of a lesson's memo: its lines joined with CR LF.
std::string textoDaLicao(const Licao& l);

} // namespace makedata
