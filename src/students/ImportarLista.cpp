#include "ImportarLista.h"

#include "DadosTurma.h"
#include "data/Data1.h"
#include "data/Gravacao.h"
#include "domain/ListaAlunos.h"
#include "ui/Mensagens.h"

#include <QFile>
#include <exception>
#include <vector>

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

// Posts one student; false when the record rules refused it.
bool registrar(TApTable* t, const dominio::AlunoDaLista& a)
{
    Gravacao gravacao(t, Gravacao::Modo::Incluir);
    t->fieldByName(QStringLiteral("Nome")).setAsString(qs(a.nome));
    if (!a.tipo.empty()) t->fieldByName(QStringLiteral("Tipo")).setAsString(qs(a.tipo));
    if (!a.nivel.empty()) t->fieldByName(QStringLiteral("Nivel")).setAsString(qs(a.nivel));
    return gravacao.gravar();
}

// Takes back the students of this import after a failed write.
QString desfazer(TApTable* t, const std::vector<int>& gravados)
{
    try {
        if (t->editing()) t->cancel();
        for (int recno : gravados) {
            t->go(recno);
            t->deleteRecord();
        }
        if (!gravados.empty()) t->pack();
        return {};
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace

ResumoImportacao importarLista(const QString& arquivo)
{
    ResumoImportacao resumo;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        resumo.erro = QStringLiteral("Não foi possível ler o arquivo %1: %2").arg(arquivo, f.errorString());
        return resumo;
    }
    const QByteArray bytes = f.readAll();

    std::vector<std::string> existentes;
    try {
        for (const dominio::AlunoDaTurma& a : lerAlunos()) existentes.push_back(a.nome);
    } catch (const std::exception& e) {
        resumo.erro = QString::fromUtf8(e.what());
        return resumo;
    }
    const dominio::PlanoImportacao plano =
        dominio::planejarImportacao(bytes.toStdString(), existentes, Tdm1::kMaxAlunos);
    if (!plano.erro.empty()) {
        resumo.erro = qs(plano.erro);
        return resumo;
    }

    TApTable* t = dm1->TabAluno;
    std::vector<int> gravados;
    QString falha;
    try {
        for (const dominio::AlunoDaLista& a : plano.aceitos) {
            if (!registrar(t, a)) {
                falha = QStringLiteral("o aluno %1 foi recusado ao gravar").arg(qs(a.nome));
                break;
            }
            gravados.push_back(t->recNo());
            resumo.registrados << qs(a.nome) + (a.cortado ? QStringLiteral(" (nome cortado em 20 caracteres)") : QString());
        }
    } catch (const std::exception& e) {
        falha = QString::fromUtf8(e.what());
    }
    if (!falha.isEmpty()) {
        const QString desfeito = desfazer(t, gravados);
        resumo = {};
        resumo.erro = QStringLiteral("Nenhum aluno foi cadastrado: %1").arg(falha);
        if (!desfeito.isEmpty()) resumo.erro += QStringLiteral(" (ao desfazer: %1)").arg(desfeito);
        return resumo;
    }
    for (const dominio::Recusa& r : plano.recusados)
        resumo.recusados << QStringLiteral("linha %1: %2: %3").arg(r.linha).arg(qs(r.texto), qs(r.motivo));
    return resumo;
}

QString textoResumo(const ResumoImportacao& resumo)
{
    if (!resumo.erro.isEmpty()) return resumo.erro;
    QString texto = QStringLiteral("Alunos cadastrados: %1").arg(resumo.registrados.size());
    for (const QString& nome : resumo.registrados) texto += QStringLiteral("\n    ") + nome;
    if (!resumo.recusados.isEmpty()) {
        texto += QStringLiteral("\n\nNomes recusados: %1").arg(resumo.recusados.size());
        for (const QString& r : resumo.recusados) texto += QStringLiteral("\n    ") + r;
    }
    return texto;
}

void mostrarResumo(QWidget* pai, const ResumoImportacao& resumo)
{
    if (!resumo.erro.isEmpty()) ui::erro(pai, textoResumo(resumo));
    else if (!resumo.recusados.isEmpty()) ui::aviso(pai, textoResumo(resumo));
    else ui::informacao(pai, textoResumo(resumo));
}
