// What each of five operations asks of a shared data folder, counted at the engine's file
// calls: bytes read and written, and calls (on a file server every call is a round trip). The
// tables hold the shipped layouts, 30 students sharing the rows; before each operation
// "another computer" stores one more lesson, so that every fresh read has something new.
// The estimate is a 100 Mbit share (about 11 MB/s) with 0.5 ms a round trip.
#include "ContadorDeChamadas.h"
#include "MundoPratica.h"

#include "data/Data1.h"
#include "domain/ArquivoTeclas.h"
#include "domain/EstatisticaTeclas.h"
#include "practice/Digitacao.h"
#include "results/Teclas.h"
#include "results/relat.h"
#include "students/DadosTurma.h"
#include "students/Selec.h"
#include "ui/Mensagens.h"
#include "xbase/Environment.h"
#include "xbase/FileSystem.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kAlunos = 30;
constexpr double kBytesPorSegundo = 11.0e6;
constexpr double kIdaEVoltaMs = 0.5;

ContadorDeChamadas contador;

std::string nomeDoAluno(int i) { return i == 0 ? "ANA" : "ALUNO" + std::to_string(i); }

// One lesson's key figures as the end of a lesson stores them: forty characters.
dominio::EstatisticaTeclas figurasDeUmaLicao(int semente)
{
    const std::u32string caracteres = U"asdfgçlkjhqwertyuiopzxcvbnmáéíóúàãõâê ,.";
    dominio::EstatisticaTeclas e;
    e.retomar(0);
    long long ms = 0;
    for (int i = 0; i < 400; ++i) {
        const char32_t c = caracteres[std::size_t((i * 7 + semente) % int(caracteres.size()))];
        ms += 180 + (i * 13 + semente) % 90;
        e.registrar(c, (i + semente) % 17 == 0 ? U'x' : c, ms);
    }
    return e;
}

void postarResultado(xbase::Table& relat, int linha)
{
    relat.insert();
    relat.setString("NOME", nomeDoAluno(linha % kAlunos));
    relat.setString("TIPO", "Básico");
    relat.setInteger("LICAO", 1 + linha / kAlunos % 60);
    relat.setInteger("VELOCIDADE", 80 + linha % 150);
    relat.setInteger("PRECISAO", 70 + linha % 31);
    relat.setString("RESULTADO", linha % 3 ? "Aprovado" : "Reprovado");
    relat.post();
}

// The key-figures rows: the first through the program's own write, the rest copied from it.
void encherTeclas(const std::string& dir, int linhas)
{
    dominio::gravarTeclas(dir, "ANA", "Básico", 1, 2026, 12, 9, figurasDeUmaLicao(0));
    xbase::Table t;
    t.open(dir, "Teclas.dbf");
    t.goTo(1);
    const std::string memo = t.asString("TECLAS");
    for (int i = 1; i < linhas; ++i) {
        t.insert();
        t.setString("NOME", nomeDoAluno(i % kAlunos));
        t.setString("TIPO", "Básico");
        t.setInteger("LICAO", 1 + i / kAlunos % 60);
        t.setString("DATA", "09/12/2026");
        t.setString("TECLAS", memo);
        t.post();
    }
}

// Another computer of the lab ends a lesson: one more row in each table.
void outroComputador(const std::string& dir, int& linha)
{
    xbase::Table relat;
    relat.open(dir, "Relat.dbf");
    postarResultado(relat, linha++);
    dominio::gravarTeclas(dir, nomeDoAluno(1), "Básico", 1, 2026, 12, 9, figurasDeUmaLicao(linha));
}

// The operation's name padded to its column, counted in characters, not bytes.
std::string coluna(const char* texto)
{
    std::string s = texto;
    const auto caracteres = QString::fromUtf8(texto).size();
    if (caracteres < 28) s.append(std::size_t(28 - caracteres), ' ');
    return s;
}

void medir(const char* operacao, int linhas, const std::function<void()>& fazer)
{
    contador.zerar();
    fazer();
    const double ms = contador.chamadas * kIdaEVoltaMs + (contador.lidos + contador.gravados) / kBytesPorSegundo * 1000;
    std::printf("%s %7d %11.1f %10.1f %8lld %10.0f\n", coluna(operacao).c_str(), linhas, contador.lidos / 1000.0,
                contador.gravados / 1000.0, contador.chamadas, ms);
    std::fflush(stdout);
}

void terminarLicao(MundoPratica& mundo, int linhas)
{
    TApTable* aluno = mundo.dm->TabAluno;
    aluno->first();
    TFDigitacao w;
    w.show();
    w.bIniciar->click();
    w.Timer1->stop();
    digitar(w.txtLetra, QStringLiteral("ab"));
    w.Timer1Timer();
    const int janelas = mundo.janelas.size();
    medir("fim de uma lição", linhas, [&] {
              digitar(w.txtLetra, QStringLiteral("\r"));
              while (mundo.janelas.size() == janelas) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
          });
}

void rodada(int linhas)
{
    xbase::environment().syncOnPost = false;  // a quick set-up; the figures count calls, not time
    MundoPratica mundo;
    mundo.anotarDisco = false;
    const std::string dir = mundo.pasta().toStdString();
    const QString basico = QString::fromUtf8("Básico");
    for (int i = kAlunos - 1; i >= 0; --i) mundo.aluno(QString::fromStdString(nomeDoAluno(i)), basico, 1, true);
    mundo.licao(basico, 1, QStringLiteral("ab"));
    {
        xbase::Table relat;
        relat.open(dir, "Relat.dbf");
        for (int i = 0; i < linhas; ++i) postarResultado(relat, i);
    }
    encherTeclas(dir, linhas);
    // The rows were copied in past the sums: they are summed again, as for a working folder of
    // an older version, once before anything is measured.
    for (const char* ext : {".dbf", ".fpt"}) QFile::remove(mundo.pasta() + QStringLiteral("/TecSoma") + QLatin1String(ext));
    dominio::lerTeclas(dir, "ANA", "Básico", 1, 60);
    xbase::environment().syncOnPost = true;
    int linha = linhas;

    Tdm1& dm = *mundo.dm;
    const auto partida = [&dm] {
        for (TApTable* t : {dm.TabAluno, dm.TabRelat, dm.TabRec, dm.TabExig}) t->close();
        for (TApTable* t : {dm.TabAluno, dm.TabRelat, dm.TabRec, dm.TabExig}) t->open();
    };
    outroComputador(dir, linha);
    medir("partida, sozinho na pasta", linhas, partida);
    // From here on another computer of the lab has the tables open, as in a class.
    xbase::Table outroAluno, outroRelat;
    outroAluno.open(dir, "Usuario.dbf");
    outroRelat.open(dir, "Relat.dbf");
    outroComputador(dir, linha);
    medir("partida até o menu", linhas, partida);

    outroComputador(dir, linha);
    terminarLicao(mundo, linhas);

    TfRelat* lista = nullptr;
    outroComputador(dir, linha);
    medir("primeira lista do aluno", linhas, [&] {
        lista = new TfRelat;
        lista->NomeAluno = QStringLiteral("ANA");
        lista->TipoLicao = basico;
        lista->UltimaLicao = 60;
        lista->show();  // lists lessons 1 to 60 once
        QApplication::processEvents();
    });
    outroComputador(dir, linha);
    medir("lista do aluno outra vez", linhas, [&] { lista->ListarLicoes(); });
    std::printf("  (%s)\n", qPrintable(lista->lTotal->text()));

    outroComputador(dir, linha);
    medir("janela \"Teclas\"", linhas, [&] {
        TfTeclas teclas;
        teclas.mostrar(QStringLiteral("ANA"), basico, 1, 60, true);
    });
    lista->close();
    delete lista;

    outroComputador(dir, linha);
    medir("visão da turma", linhas, [] { lerTurma(); });
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return true; });
    std::vector<int> tamanhos;
    for (int i = 1; i < argc; ++i) tamanhos.push_back(std::max(1, atoi(argv[i])));
    if (tamanhos.empty()) tamanhos = {1000, 10000, 100000};
    xbase::setFileSystem(&contador);
    FSelec = new TFSelec;
    std::printf("%s %7s %11s %10s %8s %10s\n", coluna("operação").c_str(), "linhas", "lidos (KB)", "grav. (KB)", "chamadas",
                "100 Mbit (ms)");
    for (int linhas : tamanhos) rodada(linhas);
    return 0;
}
