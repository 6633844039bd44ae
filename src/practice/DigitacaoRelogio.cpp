// The practice window's clock and the end of a lesson: the stored result, the unlock of the
// next lesson and the record check.
#include "Digitacao.h"
#include "Locutor.h"
#include "SessaoDigitacao.h"

#include "data/Data1.h"
#include "data/Gravacao.h"
#include "data/TApolloEnv.h"
#include "domain/ArquivoTeclas.h"
#include "domain/Cursos.h"
#include "domain/Treino.h"
#include "platform/Diretorios.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "ui/Mensagens.h"
#include "ui/TLabel3D.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QProgressBar>

void TFDigitacao::Timer1Timer()
{
    sessao->tique();
    DuracaoL->setText(sessao->duracao());
    pSeg->setValue(sessao->estado().Segundos);
    VelL->setText(QString::number(sessao->estado().VelAtual) + QStringLiteral(" teclas/min"));
    PrecL->setText(QString::number(sessao->estado().PrecAtual) + QLatin1Char('%'));
}

// The last line was typed: the result is stored and shown, and the window goes back to
// Ready whatever happens to the writes.
void TFDigitacao::terminarLicao()
{
    Desativar();
    LimparTeclaAnt();
    if (treinando_) {
        // A drill is no lesson: no result row, no unlock, no record; its key figures are kept.
        treinando_ = false;
        auto* resultado = new TfResultado;
        const SessaoDigitacao::Fim fim = sessao->fim(0);
        resultado->preencher(0, fim.velocidade, fim.precisao, sessao->duracao(), fim.resultado(), fim.velocidadeOk,
                             fim.precisaoOk);
        resultado->Label1->setText(QStringLiteral("Treino"));
        resultado->mostrarTeclaMaisErrada(QString::fromStdString(dominio::linhaMaisErrada(teclas_)));
        resultado->exec();
        ui::protegido(this, [this] { gravarTeclasDaLicao(); });
        Recarregar = true;
        LimparDados();
        return;
    }
    // Everything the lesson stores reaches the disk before any window shows it: a program
    // killed while the result window is open has lost nothing.
    bool guardada = false;
    long long recorde = 0;
    ui::protegido(this, [this, &guardada, &recorde] {
        gravarResultado();
        guardada = true;
        recorde = gravarRecorde();
    });
    if (guardada) {
        // The key figures belong to a stored lesson; their own failure is shown and undoes nothing.
        ui::protegido(this, [this] { gravarTeclasDaLicao(); });
        mostrarResultado();
        if (recorde) mostrarRecorde(recorde);
    }
    Recarregar = true;
    LimparDados();
}

void TFDigitacao::FazerRelatorio()
{
    gravarResultado();
    mostrarResultado();
}

void TFDigitacao::VerificarRecorde()
{
    if (const long long pontos = gravarRecorde()) mostrarRecorde(pontos);
}

// The result row is posted first, then the next lesson unlocked: a failed post unlocks nothing.
// All of it under the student's record lock, against the record as the file holds it: a
// student removed on another computer meanwhile gets nothing stored.
void TFDigitacao::gravarResultado()
{
    TApTable* aluno = dm1->TabAluno;
    Gravacao doAluno(aluno, Gravacao::Modo::Editar);
    if (aluno->engine().isDeleted() || aluno->fieldByName(QStringLiteral("Nome")).asString() != NomeAluno)
        throw xbase::Error(xbase::ErrorKind::Missing,
                           (QStringLiteral("O aluno ") + NomeAluno
                            + QStringLiteral(" foi removido em outro computador: o resultado desta lição não foi guardado."))
                               .toUtf8()
                               .toStdString());
    const SessaoDigitacao::Fim fim = sessao->fim(int(aluno->fieldByName(QStringLiteral("Licao")).asInteger()));
    TApTable* relat = dm1->TabRelat;
    {
        Gravacao gravacao(relat, Gravacao::Modo::Incluir);
        relat->fieldByName(QStringLiteral("Nome")).setAsString(NomeAluno);
        relat->fieldByName(QStringLiteral("Tipo")).setAsString(TipoLicao);
        relat->fieldByName(QStringLiteral("Licao")).setAsInteger(sessao->estado().NumLicao);
        relat->fieldByName(QStringLiteral("Velocidade")).setAsInteger(fim.velocidade);
        relat->fieldByName(QStringLiteral("Precisao")).setAsInteger(fim.precisao);
        relat->fieldByName(QStringLiteral("Resultado")).setAsString(fim.resultado());
        gravacao.gravar();
    }
    // The edit re-read the student: another computer may have unlocked further meanwhile.
    if (fim.liberar && aluno->fieldByName(QStringLiteral("Licao")).asInteger() < fim.liberar) {
        aluno->fieldByName(QStringLiteral("Licao")).setAsInteger(fim.liberar);
        doAluno.gravar();
    }
}

void TFDigitacao::mostrarResultado()
{
    // The unlocked lesson has already risen when the lesson passed; fim() only reads figures here.
    const SessaoDigitacao::Fim fim = sessao->fim(0);
    auto* resultado = new TfResultado;
    resultado->preencher(sessao->estado().NumLicao, fim.velocidade, fim.precisao, sessao->duracao(), fim.resultado(),
                         fim.velocidadeOk, fim.precisaoOk);
    resultado->mostrarTeclaMaisErrada(QString::fromStdString(dominio::linhaMaisErrada(teclas_)));
    // Read (and said) with the window's title when it opens.
    resultado->setAccessibleDescription(
        Locutor::fraseDoFim(sessao->estado().NumLicao, fim.velocidade, fim.precisao, sessao->duracao(), fim.resultado()));
    resultado->exec();
}

// The course type's record, when the score beats it; returns the new score, 0 when the
// record stands.
long long TFDigitacao::gravarRecorde()
{
    const long long pontos = sessao->fim(0).pontos;
    TApTable* recordes = dm1->TabRec;
    recordes->go(dominio::slotRecorde(TipoLicao.toStdString()));
    // Compared with the record as the file holds it now, under its lock: another computer
    // may have beaten it since it was read.
    Gravacao gravacao(recordes, Gravacao::Modo::Editar);
    if (recordes->fieldByName(QStringLiteral("Pontuacao")).asInteger() >= pontos)  // a tie keeps the old record
        return 0;
    recordes->fields(1).setAsString(NomeAluno);
    recordes->fields(2).setAsInteger(pontos);
    recordes->fields(3).setAsInteger(sessao->estado().VelAtual);
    recordes->fields(4).setAsInteger(sessao->estado().PrecAtual);
    recordes->fields(5).setAsInteger(sessao->estado().NumLicao);
    recordes->fields(6).setAsString(QDate::currentDate().toString(TApolloEnv::shortDateFormat(true)));
    return gravacao.gravar() ? pontos : 0;
}

void TFDigitacao::mostrarRecorde(long long pontos)
{
    auto* janela = new TfRecordes;
    janela->Label2->setText(QString::number(pontos) + QStringLiteral(" pontos"));
    janela->exec();
}

void TFDigitacao::gravarTeclasDaLicao()
{
    const QDate hoje = QDate::currentDate();
    dominio::gravarTeclas(plataforma::diretorioTrabalho().toStdString(), NomeAluno.toStdString(),
                          TipoLicao.toStdString(), sessao->estado().NumLicao, hoje.year(), hoje.month(), hoje.day(), teclas_);
}

bool TFDigitacao::treinarTeclas(const std::u32string& fracas)
{
    // A paused lesson gives way to the drill only when the student says so.
    if (!Recarregar && !ui::pergunta(this, QString::fromUtf8("Você não concluiu a lição. Deseja realmente abandonar a lição?")))
        return false;
    // The characters of the lessons of the student's type up to the one unlocked: all taught.
    const int liberada = int(dm1->TabAluno->fieldByName(QStringLiteral("Licao")).asInteger());
    const std::u32string ensinadas = licoes_->ensinadas(TipoLicao.toStdString(), liberada);
    std::vector<std::string> palavras;
    QFile lista(QStringLiteral(":/dados/palavras.txt"));
    if (lista.open(QIODevice::ReadOnly))
        for (const QByteArray& linha : lista.readAll().split('\n'))
            if (!linha.trimmed().isEmpty() && !linha.startsWith('#')) palavras.push_back(linha.trimmed().toStdString());
    const std::vector<std::string> linhas = dominio::montarTreino(palavras, fracas, ensinadas);
    if (linhas.empty()) {
        ui::aviso(this, QString::fromUtf8("Essas teclas ainda não foram ensinadas: não há treino para elas."));
        return false;
    }
    treino_.clear();
    for (const std::string& l : linhas) treino_ << QString::fromStdString(l);
    Recarregar = true;
    lLicao->setText(QStringLiteral("Treino"));
    return true;
}
