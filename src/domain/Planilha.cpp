#include "Planilha.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace dominio {

namespace {

// ---- CSV --------------------------------------------------------------------------------

std::string textoSeguro(const std::string& texto)
{
    if (!texto.empty() && std::string("=+-@").find(texto[0]) != std::string::npos) return "'" + texto;
    return texto;
}

std::string campoCsv(const std::string& texto)
{
    if (texto.find_first_of(";\"\r\n") == std::string::npos) return texto;
    std::string saida = "\"";
    for (char c : texto) {
        if (c == '"') saida += '"';
        saida += c;
    }
    return saida + '"';
}

std::string celulaCsv(const Celula& c)
{
    switch (c.tipo) {
    case Celula::Tipo::Vazia: return {};
    case Celula::Tipo::Numero: return numeroBr(c.numero, c.casas);
    case Celula::Tipo::Texto: break;
    }
    return campoCsv(textoSeguro(c.texto));
}

// ---- ODS --------------------------------------------------------------------------------

std::string xml(const std::string& texto)
{
    std::string saida;
    for (char c : texto) {
        switch (c) {
        case '&': saida += "&amp;"; break;
        case '<': saida += "&lt;"; break;
        case '>': saida += "&gt;"; break;
        case '"': saida += "&quot;"; break;
        default: saida += c;
        }
    }
    return saida;
}

std::string celulaOds(const Celula& c)
{
    switch (c.tipo) {
    case Celula::Tipo::Vazia: return "<table:table-cell/>";
    case Celula::Tipo::Numero: {
        char valor[64];
        std::snprintf(valor, sizeof valor, "%.*f", c.casas, c.numero);
        return "<table:table-cell office:value-type=\"float\" office:value=\"" + std::string(valor)
               + "\"><text:p>" + numeroBr(c.numero, c.casas) + "</text:p></table:table-cell>";
    }
    case Celula::Tipo::Texto: break;
    }
    return "<table:table-cell office:value-type=\"string\"><text:p>" + xml(c.texto)
           + "</text:p></table:table-cell>";
}

std::string conteudoOds(const Planilha& p)
{
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
        "<office:body><office:spreadsheet><table:table table:name=\"" + xml(p.nome) + "\">";
    s += "<table:table-row>";
    for (const std::string& titulo : p.cabecalho) s += celulaOds(Celula::deTexto(titulo));
    s += "</table:table-row>";
    for (const auto& linha : p.linhas) {
        s += "<table:table-row>";
        for (const Celula& c : linha) s += celulaOds(c);
        s += "</table:table-row>";
    }
    return s + "</table:table></office:spreadsheet></office:body></office:document-content>\n";
}

const char* const kManifesto =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">"
    "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>\n";

uint32_t crc32(const std::string& dados)
{
    static const std::array<uint32_t, 256> tabela = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : dados) c = tabela[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void le16(std::string& s, uint16_t v)
{
    s += char(v & 0xFF);
    s += char(v >> 8);
}

void le32(std::string& s, uint32_t v)
{
    le16(s, uint16_t(v & 0xFFFF));
    le16(s, uint16_t(v >> 16));
}

// A zip of stored entries: the container of an OpenDocument file, whose first entry must be
// the uncompressed "mimetype".
std::string zipGuardado(const std::vector<std::pair<std::string, std::string>>& entradas)
{
    std::string arquivo, diretorio;
    for (const auto& [nome, dados] : entradas) {
        const uint32_t crc = crc32(dados);
        const auto deslocamento = uint32_t(arquivo.size());
        auto cabecalho = [&](std::string& s, bool central) {
            le32(s, central ? 0x02014b50 : 0x04034b50);
            if (central) le16(s, 20);  // made by
            le16(s, 20);               // version needed
            le16(s, 0x0800);           // names in UTF-8
            le16(s, 0);                // stored
            le16(s, 0);                // time
            le16(s, 0x21);             // date: 1980-01-01
            le32(s, crc);
            le32(s, uint32_t(dados.size()));
            le32(s, uint32_t(dados.size()));
            le16(s, uint16_t(nome.size()));
            le16(s, 0);  // extra
            if (central) {
                le16(s, 0);  // comment
                le16(s, 0);  // disk
                le16(s, 0);  // internal attributes
                le32(s, 0);  // external attributes
                le32(s, deslocamento);
            }
            s += nome;
        };
        cabecalho(arquivo, false);
        arquivo += dados;
        cabecalho(diretorio, true);
    }
    const auto inicio = uint32_t(arquivo.size());
    arquivo += diretorio;
    le32(arquivo, 0x06054b50);
    le16(arquivo, 0);
    le16(arquivo, 0);
    le16(arquivo, uint16_t(entradas.size()));
    le16(arquivo, uint16_t(entradas.size()));
    le32(arquivo, uint32_t(diretorio.size()));
    le32(arquivo, inicio);
    le16(arquivo, 0);
    return arquivo;
}

} // namespace

std::string numeroBr(double valor, int casas)
{
    char texto[64];
    std::snprintf(texto, sizeof texto, "%.*f", casas, valor);
    std::string s = texto;
    if (s == "-0" || s.rfind("-0.", 0) == 0) {
        // A value that rounds to zero is written without a sign.
        bool zero = true;
        for (char c : s) zero = zero && (c == '-' || c == '0' || c == '.');
        if (zero) s.erase(0, 1);
    }
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::string planilhaCsv(const Planilha& planilha)
{
    std::string s = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < planilha.cabecalho.size(); ++i) {
        if (i) s += ';';
        s += campoCsv(planilha.cabecalho[i]);
    }
    s += "\r\n";
    for (const auto& linha : planilha.linhas) {
        for (std::size_t i = 0; i < linha.size(); ++i) {
            if (i) s += ';';
            s += celulaCsv(linha[i]);
        }
        s += "\r\n";
    }
    return s;
}

std::string planilhaOds(const Planilha& planilha)
{
    return zipGuardado({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                        {"META-INF/manifest.xml", kManifesto},
                        {"content.xml", conteudoOds(planilha)}});
}

} // namespace dominio
