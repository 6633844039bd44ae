#include "PlanilhaResultados.h"

#include "data/TApTable.h"

dominio::Planilha planilhaResultados(TApTable* relat)
{
    using dominio::Celula;
    dominio::Planilha p;
    p.nome = "Resultados";
    p.cabecalho = {"Nome", "Tipo de lição", "Lição", "Velocidade (teclas/min)", "Precisão (%)", "Resultado"};
    const TField nome = relat->fieldByName(QStringLiteral("Nome"));
    const TField tipo = relat->fieldByName(QStringLiteral("Tipo"));
    const TField licao = relat->fieldByName(QStringLiteral("Licao"));
    const TField velocidade = relat->fieldByName(QStringLiteral("Velocidade"));
    const TField precisao = relat->fieldByName(QStringLiteral("Precisao"));
    const TField resultado = relat->fieldByName(QStringLiteral("Resultado"));
    for (relat->first(); !relat->eof(); relat->next())
        p.linhas.push_back({Celula::deTexto(nome.asString().toStdString()),
                            Celula::deTexto(tipo.asString().toStdString()),
                            Celula::deNumero(double(licao.asInteger())),
                            Celula::deNumero(double(velocidade.asInteger())),
                            Celula::deNumero(double(precisao.asInteger())),
                            Celula::deTexto(resultado.asString().toStdString())});
    return p;
}
