// The practice window's clock and the end of a lesson: the stored result, the unlock of the
// next lesson and the record check.
#include "Digitacao.h"

#include "data/Data1.h"
#include "data/TApolloEnv.h"
#include "domain/Cursos.h"
#include "domain/Estatisticas.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "ui/TLabel3D.h"

#include <QDate>
#include <QLabel>
#include <QProgressBar>

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
    DuracaoL->setText(QString::fromStdString(dominio::textoDuracao(Horas, Minutos, Segundos)));
    pSeg->setValue(Segundos);

    // On the tick that completes a minute the speed keeps its value.
    if (Segundos != 0) VelAtual = dominio::velocidade(Acertos, Horas, Minutos, Segundos);
    VelL->setText(QString::number(VelAtual) + QStringLiteral(" teclas/min"));
    PrecAtual = dominio::precisao(Acertos, Erros);
    PrecL->setText(QString::number(PrecAtual) + QLatin1Char('%'));
}

void TFDigitacao::FazerRelatorio()
{
    TApTable* relat = dm1->TabRelat;
    relat->insert();
    relat->fieldByName(QStringLiteral("Nome")).setAsString(NomeAluno);
    relat->fieldByName(QStringLiteral("Tipo")).setAsString(TipoLicao);
    relat->fieldByName(QStringLiteral("Licao")).setAsInteger(NumLicao);
    relat->fieldByName(QStringLiteral("Velocidade")).setAsInteger(VelAtual);
    relat->fieldByName(QStringLiteral("Precisao")).setAsInteger(PrecAtual);

    const bool velocidadeOk = dominio::atingiu(VelAtual, ExigVel);
    const bool precisaoOk = dominio::atingiu(PrecAtual, ExigPrec);
    if (velocidadeOk && precisaoOk) {
        relat->fieldByName(QStringLiteral("Resultado")).setAsString(QString::fromUtf8(dominio::kAprovado));
        liberarProximaLicao();
    } else {
        relat->fieldByName(QStringLiteral("Resultado")).setAsString(QString::fromUtf8(dominio::kReprovado));
    }
    relat->post();

    auto* resultado = new TfResultado;
    resultado->preencher(NumLicao, VelAtual, PrecAtual, DuracaoL->text(),
                         relat->fieldByName(QStringLiteral("Resultado")).asString(), velocidadeOk, precisaoOk);
    resultado->exec();
}

// Passing the highest lesson unlocked opens the next one, never past the type's last lesson.
void TFDigitacao::liberarProximaLicao()
{
    TApTable* aluno = dm1->TabAluno;
    const int proxima = NumLicao + 1;
    if (proxima > MaxLicoes) return;
    if (aluno->fieldByName(QStringLiteral("Licao")).asInteger() >= proxima) return;
    aluno->edit();
    aluno->fieldByName(QStringLiteral("Licao")).setAsInteger(proxima);
    aluno->post();
}

void TFDigitacao::VerificarRecorde()
{
    // The full score: a speed of 700 at 100 % is 70,010 points, not that modulo 65,536.
    const long long pontos = dominio::pontuacao(VelAtual, PrecAtual, NumLicao);
    TApTable* recordes = dm1->TabRec;
    recordes->go(dominio::slotRecorde(TipoLicao.toStdString()));
    if (recordes->fieldByName(QStringLiteral("Pontuacao")).asInteger() >= pontos) return;  // a tie keeps the old record

    recordes->edit();
    recordes->fields(1).setAsString(NomeAluno);
    recordes->fields(2).setAsInteger(pontos);
    recordes->fields(3).setAsInteger(VelAtual);
    recordes->fields(4).setAsInteger(PrecAtual);
    recordes->fields(5).setAsInteger(NumLicao);
    recordes->fields(6).setAsString(QDate::currentDate().toString(TApolloEnv::shortDateFormat(true)));
    recordes->post();

    auto* janela = new TfRecordes;
    janela->Label2->setText(QString::number(pontos) + QStringLiteral(" pontos"));
    janela->exec();
}
