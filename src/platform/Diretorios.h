#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// The program's folders and the paths built from the names of its files.
namespace plataforma {

// Where every table the program writes lives: "c:\qel99" on Windows, elsewhere the folder
// "qel99" under the user's data location. Tests point it at a temporary folder.
QString diretorioTrabalho();
void definirDiretorioTrabalho(const QString& pasta);

// The data folder chosen for this run, first match wins: the option "--pasta-dados=DIR" (or
// "--pasta-dados DIR") in args, the environment variable TARVEX3_PASTA_DADOS, the line
// "pasta_dados = DIR" of the machine's configuration file (/etc/tarvex3.conf; "#" starts a
// comment). Empty when none is set: the program keeps its own folder.
QString pastaDadosEscolhida(const QStringList& args);
QString pastaDadosEscolhida(const QStringList& args, const QString& variavel, const QString& arquivoConfig);
inline constexpr const char* kArquivoConfigMaquina = "/etc/tarvex3.conf";

// The delivered data tree of the installed program (<prefix>/share/tarvex3), or in the build
// tree the "data" folder that holds "Dados".
QString pastaDadosInstalada();

// The current directory without one trailing separator ("/" becomes ""), unless it has no
// "Dados" folder: then the installed data folder, so that a program started from a desktop
// menu still finds its data.
QString calcularStartDir(const QString& atual, const QString& dadosInstalados);
// The same with the test for a folder given (tests use it for a root directory).
QString calcularStartDir(const QString& atual, const QString& dadosInstalados,
                         const std::function<bool(const QString&)>& pastaExiste);

// "a" + "/" + "b", with no doubled separator; an empty "a" (a root) gives "/b".
QString juntar(const QString& a, const QString& b);

// The path with each component matched to an existing name without regard to case
// (".../dados/TecladoA.dbf" finds ".../Dados/TECLADOA.DBF"). Components that do not exist
// stay as written.
QString resolver(const QString& caminho);

} // namespace plataforma
