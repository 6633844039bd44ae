#include "platform/BancoDeSons.h"

#include <QtEndian>
#include <map>

namespace plataforma {
namespace {

constexpr int kPhdr = 38, kBag = 4, kMod = 10, kGen = 4;

quint16 palavra(const QByteArray& b, qsizetype pos) { return qFromLittleEndian<quint16>(b.constData() + pos); }

void porPalavra(QByteArray& b, qsizetype pos, quint16 v) { qToLittleEndian<quint16>(v, b.data() + pos); }

QByteArray dword(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(v, b.data());
    return b;
}

QByteArray pedaco(const char* nome, const QByteArray& dados) { return QByteArray(nome, 4) + dword(dados.size()) + dados; }

}  // namespace

std::optional<BancoReduzido> reduzirBanco(QIODevice& arquivo, const QSet<int>& programas)
{
    const qint64 tamanho = arquivo.size();
    if (!arquivo.seek(0)) return std::nullopt;
    const QByteArray riff = arquivo.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "sfbk") return std::nullopt;

    // Finds the preset list, which must be the file's last chunk.
    qint64 pos = 12;
    QByteArray lista;
    qint64 inicio = -1;
    while (pos + 12 <= tamanho) {
        arquivo.seek(pos);
        const QByteArray cab = arquivo.read(12);
        if (cab.size() != 12) return std::nullopt;
        const quint32 t = qFromLittleEndian<quint32>(cab.constData() + 4);
        if (cab.startsWith("LIST") && cab.mid(8, 4) == "pdta") {
            if (pos + 8 + t + (t & 1) != tamanho) return std::nullopt;
            inicio = pos;
            lista = arquivo.read(t - 4);
            if (lista.size() != qsizetype(t - 4)) return std::nullopt;
            break;
        }
        pos += 8 + t + (t & 1);
    }
    if (inicio < 0) return std::nullopt;

    std::map<QByteArray, QByteArray> sub;
    QList<QByteArray> ordem;
    for (qsizetype p = 0; p + 8 <= lista.size();) {
        const quint32 t = qFromLittleEndian<quint32>(lista.constData() + p + 4);
        if (p + 8 + qsizetype(t) > lista.size()) return std::nullopt;
        ordem << lista.mid(p, 4);
        sub[lista.mid(p, 4)] = lista.mid(p + 8, t);
        p += 8 + t + (t & 1);
    }
    const QByteArray &phdr = sub["phdr"], &pbag = sub["pbag"], &pmod = sub["pmod"], &pgen = sub["pgen"];
    if (phdr.size() < 2 * kPhdr || phdr.size() % kPhdr || pbag.size() % kBag || pmod.size() % kMod
        || pgen.size() % kGen || pbag.size() < kBag || pgen.size() < kGen || pmod.size() < kMod)
        return std::nullopt;
    const int presets = phdr.size() / kPhdr - 1, bags = pbag.size() / kBag - 1;
    const int gens = pgen.size() / kGen - 1, mods = pmod.size() / kMod - 1;

    QByteArray novoPhdr, novoPbag, novoPgen, novoPmod;
    auto copiarPreset = [&](int i, int primeiraBag, int fimBag) {
        QByteArray registro = phdr.mid(i * kPhdr, kPhdr);
        porPalavra(registro, 24, quint16(novoPbag.size() / kBag));
        novoPhdr += registro;
        for (int b = primeiraBag; b < fimBag; ++b) {
            const int g0 = palavra(pbag, b * kBag), g1 = palavra(pbag, (b + 1) * kBag);
            const int m0 = palavra(pbag, b * kBag + 2), m1 = palavra(pbag, (b + 1) * kBag + 2);
            if (g0 > g1 || g1 > gens || m0 > m1 || m1 > mods) return false;
            QByteArray bag(kBag, '\0');
            porPalavra(bag, 0, quint16(novoPgen.size() / kGen));
            porPalavra(bag, 2, quint16(novoPmod.size() / kMod));
            novoPbag += bag;
            novoPgen += pgen.mid(g0 * kGen, (g1 - g0) * kGen);
            novoPmod += pmod.mid(m0 * kMod, (m1 - m0) * kMod);
        }
        return true;
    };
    for (int i = 0; i < presets; ++i) {
        const int programa = palavra(phdr, i * kPhdr + 20);
        const int b0 = palavra(phdr, i * kPhdr + 24), b1 = palavra(phdr, (i + 1) * kPhdr + 24);
        if (b0 > b1 || b1 > bags) return std::nullopt;
        if ((programa == 0 || programas.contains(programa)) && !copiarPreset(i, b0, b1)) return std::nullopt;
    }
    copiarPreset(presets, 0, 0);  // the closing record
    QByteArray bagFinal(kBag, '\0');
    porPalavra(bagFinal, 0, quint16(novoPgen.size() / kGen));
    porPalavra(bagFinal, 2, quint16(novoPmod.size() / kMod));
    novoPbag += bagFinal;
    novoPgen += pgen.right(kGen);
    novoPmod += pmod.right(kMod);
    sub["phdr"] = novoPhdr;
    sub["pbag"] = novoPbag;
    sub["pgen"] = novoPgen;
    sub["pmod"] = novoPmod;

    QByteArray corpo("pdta");
    for (const QByteArray& nome : ordem) corpo += pedaco(nome.constData(), sub[nome]);
    BancoReduzido banco;
    banco.inicioPdta = inicio;
    banco.pdta = pedaco("LIST", corpo);
    banco.tamanhoRiff = quint32(inicio + banco.pdta.size() - 8);
    return banco;
}

}  // namespace plataforma
