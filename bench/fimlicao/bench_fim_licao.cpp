// Ends lesson 1 through the real practice window again and again (the student back on lesson 1
// and the record back to 0 each time, so that every end stores a result, unlocks a lesson,
// beats the record and keeps its key figures) and prints the fsyncs each table took per end
// and the time from the last keystroke to the last of them: median and spread.
#include "MundoPratica.h"

#include "data/Data1.h"
#include "practice/Digitacao.h"
#include "students/Selec.h"
#include "ui/Mensagens.h"
#include "xbase/FileSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// The system's own calls, with the fsyncs counted by the file they reach.
class ContadorDeFsync : public xbase::FileSystem {
public:
    std::map<std::string, int> porArquivo;
    std::chrono::steady_clock::time_point ultimo;
    int open(const std::string& path, int flags, mode_t mode) override
    {
        const int fd = FileSystem::open(path, flags, mode);
        if (fd >= 0) caminhos_[fd] = path.substr(path.find_last_of('/') + 1);
        return fd;
    }
    int close(int fd) override
    {
        caminhos_.erase(fd);
        return FileSystem::close(fd);
    }
    int fsync(int fd) override
    {
        const int r = FileSystem::fsync(fd);
        ++porArquivo[caminhos_[fd]];
        ultimo = std::chrono::steady_clock::now();
        return r;
    }

private:
    std::map<int, std::string> caminhos_;
};

void digitar(TFDigitacao& w, const QString& s) { ::digitar(w.txtLetra, s); }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rodadas = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    ui::definirRespondedor([](ui::TipoMensagem, const QString&) { return true; });
    ContadorDeFsync contador;  // before any table opens, so that every descriptor is known
    xbase::setFileSystem(&contador);
    MundoPratica mundo;
    FSelec = new TFSelec;
    const QString basico = QString::fromUtf8("Básico");
    mundo.aluno(QStringLiteral("ANA"), basico, 1, false);
    mundo.licao(basico, 1, QStringLiteral("ab"));

    std::vector<double> tempos;
    std::map<std::string, int> porFim;
    for (int i = 0; i < rodadas; ++i) {
        TApTable* aluno = mundo.dm->TabAluno;
        aluno->first();
        aluno->edit();
        aluno->fieldByName(QStringLiteral("Licao")).setAsInteger(1);
        aluno->post();
        mundo.recorde(1, 0);
        TFDigitacao w;
        w.show();
        w.bIniciar->click();
        w.Timer1->stop();
        digitar(w, QStringLiteral("ab"));
        w.Timer1Timer();
        const int janelas = mundo.janelas.size();
        contador.porArquivo.clear();
        const auto inicio = std::chrono::steady_clock::now();
        contador.ultimo = inicio;
        digitar(w, QStringLiteral("\r"));
        while (mundo.janelas.size() == janelas) app.processEvents(QEventLoop::WaitForMoreEvents, 10);
        tempos.push_back(std::chrono::duration<double, std::milli>(contador.ultimo - inicio).count());
        porFim = contador.porArquivo;
    }
    int total = 0;
    std::printf("fsyncs no fim de uma lição:");
    for (const auto& [arquivo, n] : porFim) {
        std::printf(" %s %d,", arquivo.c_str(), n);
        total += n;
    }
    std::printf(" total %d\n", total);
    std::sort(tempos.begin(), tempos.end());
    std::printf("da última tecla ao último fsync, %d fins: mediana %.2f ms, mínimo %.2f ms, máximo %.2f ms\n",
                rodadas, tempos[tempos.size() / 2], tempos.front(), tempos.back());
    return 0;
}
