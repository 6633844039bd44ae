#include "MidiDuracao.h"

#include <QByteArray>
#include <QFile>
#include <map>
#include <optional>

namespace plataforma {

namespace {

constexpr qint64 kAndamentoPadrao = 500000;  // µs per quarter note when the file sets none

// A bounds-checked reader over the file's bytes: every read past the end fails the whole parse.
class Leitor {
public:
    Leitor(const QByteArray& dados, qsizetype inicio, qsizetype fim) : dados_(dados), pos_(inicio), fim_(fim) {}

    bool acabou() const { return pos_ >= fim_; }
    qsizetype posicao() const { return pos_; }

    std::optional<quint32> inteiro(int bytes) {
        if (fim_ - pos_ < bytes) return std::nullopt;
        quint32 valor = 0;
        for (int i = 0; i < bytes; ++i) valor = (valor << 8) | static_cast<quint8>(dados_[pos_++]);
        return valor;
    }

    // Variable-length quantity: at most four bytes of seven bits.
    std::optional<quint32> quantidadeVariavel() {
        quint32 valor = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = inteiro(1);
            if (!byte) return std::nullopt;
            valor = (valor << 7) | (*byte & 0x7F);
            if (!(*byte & 0x80)) return valor;
        }
        return std::nullopt;
    }

    bool pular(quint32 bytes) {
        if (static_cast<quint64>(fim_ - pos_) < bytes) return false;
        pos_ += bytes;
        return true;
    }

    bool textoIgual(const char* marca) {
        if (fim_ - pos_ < 4 || dados_.mid(pos_, 4) != QByteArray(marca, 4)) return false;
        pos_ += 4;
        return true;
    }

private:
    const QByteArray& dados_;
    qsizetype pos_;
    qsizetype fim_;
};

// Number of data bytes that follow a channel status byte.
int bytesDeDados(quint8 status) {
    const quint8 tipo = status & 0xF0;
    return (tipo == 0xC0 || tipo == 0xD0) ? 1 : 2;
}

// Reads one track: its tempo events go into `andamentos` (tick -> µs per quarter), the programs
// it selects into `programas`, and the tick of its last event is returned.
std::optional<quint64> lerTrilha(Leitor& leitor, std::map<quint64, qint64>& andamentos, QSet<int>& programas) {
    quint64 tick = 0;
    quint8 statusCorrente = 0;
    while (!leitor.acabou()) {
        const auto delta = leitor.quantidadeVariavel();
        const auto primeiro = leitor.inteiro(1);
        if (!delta || !primeiro) return std::nullopt;
        tick += *delta;
        quint8 status = static_cast<quint8>(*primeiro);
        if (status == 0xFF) {
            const auto tipo = leitor.inteiro(1);
            const auto tamanho = leitor.quantidadeVariavel();
            if (!tipo || !tamanho) return std::nullopt;
            if (*tipo == 0x51 && *tamanho == 3) {
                const auto andamento = leitor.inteiro(3);
                if (!andamento) return std::nullopt;
                andamentos[tick] = *andamento;
            } else if (!leitor.pular(*tamanho)) {
                return std::nullopt;
            }
            if (*tipo == 0x2F) return tick;  // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            const auto tamanho = leitor.quantidadeVariavel();
            if (!tamanho || !leitor.pular(*tamanho)) return std::nullopt;
        } else if (status > 0xF0) {
            return std::nullopt;  // system common and real-time messages do not belong in a file
        } else {
            int dadosRestantes = bytesDeDados(status);
            if (status < 0x80) {  // running status: this byte is already data
                if (statusCorrente == 0) return std::nullopt;  // data byte with no status before it
                dadosRestantes = bytesDeDados(statusCorrente) - 1;
                if ((statusCorrente & 0xF0) == 0xC0) programas.insert(status);
            } else {
                statusCorrente = status;
                if ((status & 0xF0) == 0xC0) {
                    const auto programa = leitor.inteiro(1);
                    if (!programa) return std::nullopt;
                    programas.insert(static_cast<int>(*programa & 0x7F));
                    continue;
                }
            }
            if (!leitor.pular(static_cast<quint32>(dadosRestantes))) return std::nullopt;
        }
    }
    return tick;  // a track without an end-of-track event still ends at its last event
}

// Milliseconds at `ultimoTick` following the tempo map, for a division in ticks per quarter.
qint64 milissegundos(quint64 ultimoTick, quint32 ticksPorSeminima, const std::map<quint64, qint64>& andamentos) {
    // Sum of ticks x µs-per-quarter over the tempo segments, divided once at the end, so
    // that the result does not depend on how the tempo map is cut.
    quint64 somaTicksVezesAndamento = 0;
    quint64 tickAnterior = 0;
    qint64 andamento = kAndamentoPadrao;
    for (const auto& [tick, novoAndamento] : andamentos) {
        if (tick >= ultimoTick) break;
        somaTicksVezesAndamento += (tick - tickAnterior) * static_cast<quint64>(andamento);
        tickAnterior = tick;
        andamento = novoAndamento;
    }
    somaTicksVezesAndamento += (ultimoTick - tickAnterior) * static_cast<quint64>(andamento);
    return static_cast<qint64>(somaTicksVezesAndamento / ticksPorSeminima / 1000);
}

// SMPTE division: frames per second (negative, two's complement) and ticks per frame.
qint64 milissegundosSmpte(quint64 ultimoTick, quint16 divisao) {
    const int quadros = -static_cast<qint8>(divisao >> 8);
    const int ticksPorQuadro = divisao & 0xFF;
    if (ticksPorQuadro == 0) return -1;
    // 29 stands for 29.97 drop-frame.
    const double quadrosPorSegundo = quadros == 29 ? 29.97 : quadros;
    if (quadrosPorSegundo <= 0) return -1;
    return static_cast<qint64>(ultimoTick * 1000.0 / (quadrosPorSegundo * ticksPorQuadro));
}


// Reads the whole file; returns the length in ms (-1 when malformed) and the programs selected.
qint64 lerMidi(const QByteArray& conteudo, QSet<int>& programas) {
    Leitor cabecalho(conteudo, 0, conteudo.size());
    if (!cabecalho.textoIgual("MThd")) return -1;
    const auto tamanho = cabecalho.inteiro(4);
    const auto formato = cabecalho.inteiro(2);
    const auto quantasTrilhas = cabecalho.inteiro(2);
    const auto divisao = cabecalho.inteiro(2);
    if (!tamanho || !formato || !quantasTrilhas || !divisao || *tamanho < 6) return -1;
    if (*formato > 1 || *quantasTrilhas == 0 || (*formato == 0 && *quantasTrilhas != 1) || *divisao == 0) return -1;
    if (!cabecalho.pular(*tamanho - 6)) return -1;

    std::map<quint64, qint64> andamentos;
    quint64 ultimoTick = 0;
    Leitor arquivo = cabecalho;
    for (quint32 i = 0; i < *quantasTrilhas; ++i) {
        if (!arquivo.textoIgual("MTrk")) return -1;
        const auto tamanhoTrilha = arquivo.inteiro(4);
        if (!tamanhoTrilha || static_cast<quint64>(conteudo.size() - arquivo.posicao()) < *tamanhoTrilha) return -1;
        Leitor trilha(conteudo, arquivo.posicao(), arquivo.posicao() + *tamanhoTrilha);
        const auto fim = lerTrilha(trilha, andamentos, programas);
        if (!fim) return -1;
        ultimoTick = std::max(ultimoTick, *fim);
        arquivo.pular(*tamanhoTrilha);
    }
    if (*divisao & 0x8000) return milissegundosSmpte(ultimoTick, static_cast<quint16>(*divisao));
    return milissegundos(ultimoTick, *divisao, andamentos);
}

}  // namespace

qint64 duracaoMidiMsDeBytes(const QByteArray& conteudo) {
    QSet<int> programas;
    return lerMidi(conteudo, programas);
}

std::optional<QSet<int>> programasMidiDeBytes(const QByteArray& conteudo) {
    QSet<int> programas;
    if (lerMidi(conteudo, programas) < 0) return std::nullopt;
    return programas;
}

std::optional<QSet<int>> programasMidi(const QString& caminho) {
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) return std::nullopt;
    return programasMidiDeBytes(arquivo.readAll());
}

qint64 duracaoMidiMs(const QString& caminho) {
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) return -1;
    return duracaoMidiMsDeBytes(arquivo.readAll());
}

}  // namespace plataforma
