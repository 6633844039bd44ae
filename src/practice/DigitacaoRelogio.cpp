#include "Digitacao.h"

#include <QLabel>
#include <QProgressBar>

namespace {

QString doisDigitos(int n) { return n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n); }

} // namespace

void TFDigitacao::Timer1Timer()
{
    ++Segundos;
    if (Segundos == 60) {
        ++Minutos;
        Segundos = 0;
    }
    if (Minutos == 60) {
        ++Horas;
        Minutos = 0;
    }
    const QString duracao = doisDigitos(Minutos) + QLatin1Char(':') + doisDigitos(Segundos);
    DuracaoL->setText(Horas > 0 ? QString::number(Horas) + QLatin1Char(':') + duracao : duracao);
    pSeg->setValue(Segundos);

    const int total = Acertos + Erros;
    // On the tick that completes a minute the speed keeps its value. A second is 1/60 of a
    // minute in extended precision, a little above the exact fraction, so that one keystroke
    // in one second reads 59, not 60.
    if (Segundos != 0) {
        const long double k = 1.0L / 60.0L;
        const long double minutos = static_cast<long double>(60 * Horas + Minutos) + Segundos * k;
        VelAtual = static_cast<int>(Acertos / minutos);
    }
    VelL->setText(QString::number(VelAtual) + QStringLiteral(" teclas/min"));
    PrecAtual = total > 0 ? Acertos * 100 / total : 0;
    PrecL->setText(QString::number(PrecAtual) + QLatin1Char('%'));
}

// Storing the result and showing the result window belong to the results work that follows;
// for now the lesson simply ends.
void TFDigitacao::FazerRelatorio() {}

// The record check and its window likewise come with the results work.
void TFDigitacao::VerificarRecorde() {}
