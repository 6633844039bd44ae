#include "Licoes.h"

#include "Filtros.h"
#include "Linhas.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace dominio {
namespace {

void abrir(xbase::Table& t, const std::string& pasta, bool abnt2, const std::string& filtro)
{
    t.open(pasta, LeitorLicoes::arquivo(abnt2), true);
    t.setIndexName("TIPO");
    t.setFilter(filtro);
}

template <typename F>
void porLicao(const std::string& pasta, bool abnt2, const std::string& filtro, F&& f)
{
    xbase::Table t;
    abrir(t, pasta, abnt2, filtro);
    for (t.first(); !t.eof(); t.next()) f(t);
}

} // namespace

int LeitorLicoes::quantas(const std::string& tipo) const
{
    xbase::Table t;
    abrir(t, pasta_, abnt2_, filtroTipo(tipo));
    return int(t.count());
}

std::vector<std::string> LeitorLicoes::linhas(const std::string& tipo, int licao) const
{
    std::vector<std::string> r;
    bool achada = false;
    porLicao(pasta_, abnt2_, filtroTipoLicao(tipo, licao), [&](xbase::Table& t) {
        if (achada) return;  // two rows with one number: the first in the index's order
        achada = true;
        r = dividirLinhas(t.asString("TEXTO"));
    });
    return r;
}

std::u32string LeitorLicoes::ensinadas(const std::string& tipo, int ate) const
{
    std::u32string r;
    porLicao(pasta_, abnt2_, filtroTipo(tipo), [&](xbase::Table& t) {
        if (t.asInteger("LICAO") > ate) return;
        for (char32_t c : xbase::utf8ToCodepoints(t.asString("TEXTO")))
            if (r.find(c) == std::u32string::npos) r += c;
    });
    return r;
}

} // namespace dominio
