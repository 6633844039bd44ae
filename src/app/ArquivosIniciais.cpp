#include "ArquivosIniciais.h"

#include <QFileInfo>
#include <QMap>

Remedio remedioPara(xbase::ErrorKind tipo, bool dbfExiste)
{
    switch (tipo) {
    case xbase::ErrorKind::Damaged: return Remedio::Reparar;
    case xbase::ErrorKind::Missing: return dbfExiste ? Remedio::Reparar : Remedio::Desistir;
    case xbase::ErrorKind::Busy: return Remedio::TentarDeNovo;
    case xbase::ErrorKind::Invalid:
    case xbase::ErrorKind::System: break;
    }
    return Remedio::Desistir;
}

PlanoCopia planejarCopia(const QStringList& arquivos, const std::function<bool(const QString&)>& existe)
{
    // The files of each table, by table name, in the order of the list.
    QStringList tabelas;
    QMap<QString, QStringList> arquivosDa;
    for (const QString& arquivo : arquivos) {
        const QString tabela = QFileInfo(arquivo).completeBaseName();
        if (!arquivosDa.contains(tabela)) tabelas << tabela;
        arquivosDa[tabela] << arquivo;
    }

    PlanoCopia plano;
    for (const QString& tabela : tabelas) {
        QStringList faltam;
        for (const QString& arquivo : arquivosDa[tabela])
            if (!existe(arquivo)) faltam << arquivo;
        const bool temDbf = !faltam.contains(tabela + QStringLiteral(".dbf"), Qt::CaseInsensitive);
        if (faltam.size() == arquivosDa[tabela].size())
            plano.copiar << faltam;
        else if (!faltam.isEmpty() && !temDbf)
            plano.tabelasIncompletas << tabela + QStringLiteral(".dbf (falta ") + faltam.join(QStringLiteral(", "))
                                            + QStringLiteral(")");
    }
    return plano;
}
