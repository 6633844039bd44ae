#include "platform/Diretorios.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace plataforma {
namespace {

QString& diretorioTrabalhoDefinido()
{
    static QString pasta;
    return pasta;
}

bool ehSeparador(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

QString semSeparadorFinal(const QString& caminho)
{
    if (!caminho.isEmpty() && ehSeparador(caminho.back())) return caminho.chopped(1);
    return caminho;
}

bool pastaExisteSemCaixa(const QString& caminho) { return QFileInfo(resolver(caminho)).isDir(); }

// The entry of "pasta" named "nome" without regard to case; the exact name wins.
QString acharNaPasta(const QString& pasta, const QString& nome)
{
    // A root ("" before a leading "/") or a drive ("c:") is looked into at its top.
    const bool raiz = pasta.isEmpty() || pasta.endsWith(QLatin1Char(':'));
    const QDir dir(raiz ? pasta + QLatin1Char('/') : pasta);
    if (dir.exists(nome)) return nome;
    QStringList nomes = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    for (const QString& candidato : nomes) {
        if (candidato.compare(nome, Qt::CaseInsensitive) == 0) return candidato;
    }
    return {};
}

} // namespace

QString diretorioTrabalho()
{
    if (!diretorioTrabalhoDefinido().isEmpty()) return diretorioTrabalhoDefinido();
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\qel99");
#else
    return juntar(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), QStringLiteral("qel99"));
#endif
}

void definirDiretorioTrabalho(const QString& pasta) { diretorioTrabalhoDefinido() = pasta; }

namespace {

QString pastaDaOpcao(const QStringList& args)
{
    const QString opcao = QStringLiteral("--pasta-dados");
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i).startsWith(opcao + QLatin1Char('='))) return args.at(i).mid(opcao.size() + 1);
        if (args.at(i) == opcao && i + 1 < args.size()) return args.at(i + 1);
    }
    return {};
}

QString pastaDoArquivoConfig(const QString& arquivoConfig)
{
    QFile arquivo(arquivoConfig);
    if (!arquivo.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    while (!arquivo.atEnd()) {
        const QString linha = QString::fromUtf8(arquivo.readLine()).section(QLatin1Char('#'), 0, 0).trimmed();
        const int igual = linha.indexOf(QLatin1Char('='));
        if (igual > 0 && linha.left(igual).trimmed() == QLatin1String("pasta_dados"))
            return linha.mid(igual + 1).trimmed();
    }
    return {};
}

} // namespace

QString pastaDadosEscolhida(const QStringList& args)
{
    return pastaDadosEscolhida(args, qEnvironmentVariable("TARVEX3_PASTA_DADOS"),
                               QString::fromLatin1(kArquivoConfigMaquina));
}

QString pastaDadosEscolhida(const QStringList& args, const QString& variavel, const QString& arquivoConfig)
{
    for (const QString& pasta : {pastaDaOpcao(args), variavel.trimmed(), pastaDoArquivoConfig(arquivoConfig)}) {
        if (!pasta.isEmpty()) return semSeparadorFinal(QDir::cleanPath(pasta));
    }
    return {};
}

QString pastaDadosInstalada()
{
    const QString exe = QCoreApplication::applicationDirPath();
    const QString instalada = QDir::cleanPath(exe + QStringLiteral("/../share/tarvex3"));
    if (QFileInfo(instalada).isDir()) return instalada;
    // In the build tree the program sits in build/src/app and its data in build/data; other
    // folders named "data" on the way up (build/src/data) hold no "Dados".
    QDir dir(exe);
    for (int nivel = 0; nivel < 4; ++nivel) {
        const QString candidata = juntar(dir.absolutePath(), QStringLiteral("data"));
        if (pastaExisteSemCaixa(juntar(candidata, QStringLiteral("Dados")))) return candidata;
        if (!dir.cdUp()) break;
    }
    return instalada;
}

QString calcularStartDir(const QString& atual, const QString& dadosInstalados)
{
    // A "Dados" folder of the user's own (a common name in Portuguese) is not the program's:
    // the program's holds its settings table.
    const auto dadosDoPrograma = [](const QString& dados) {
        return pastaExisteSemCaixa(dados)
               && QFileInfo::exists(resolver(juntar(dados, QStringLiteral("Config.dbf"))));
    };
    return calcularStartDir(atual, dadosInstalados, dadosDoPrograma);
}

QString calcularStartDir(const QString& atual, const QString& dadosInstalados,
                         const std::function<bool(const QString&)>& pastaExiste)
{
    const QString startDir = semSeparadorFinal(atual);
    if (pastaExiste(juntar(startDir, QStringLiteral("Dados")))) return startDir;
    return semSeparadorFinal(dadosInstalados);
}

QString juntar(const QString& a, const QString& b)
{
    if (b.isEmpty()) return a;
    return semSeparadorFinal(a) + QLatin1Char('/') + b;
}

QString resolver(const QString& caminho)
{
    const QString normal = QDir::fromNativeSeparators(caminho);
    const QStringList partes = normal.split(QLatin1Char('/'));
    const bool absoluto = normal.startsWith(QLatin1Char('/'));

    // The first part is the root ("" before a leading "/"), a drive ("c:") or the first name of
    // a relative path, which is looked up in the current directory.
    QString resultado;
    int inicio = 0;
    if (absoluto || (partes.size() > 1 && partes.front().endsWith(QLatin1Char(':')))) {
        resultado = partes.front();
        inicio = 1;
    }
    bool achando = true;
    for (int i = inicio; i < partes.size(); ++i) {
        const QString& parte = partes.at(i);
        QString nome = parte;
        if (achando && !parte.isEmpty() && parte != QLatin1String(".") && parte != QLatin1String("..")) {
            const QString pasta = (i == 0) ? QStringLiteral(".") : resultado;
            const QString achado = acharNaPasta(pasta, parte);
            if (achado.isEmpty()) achando = false;
            else nome = achado;
        }
        resultado = (i == 0) ? nome : resultado + QLatin1Char('/') + nome;
    }
    return resultado;
}

} // namespace plataforma
