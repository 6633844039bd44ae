// Pictures of the practice window for a person to look at (not run by CTest):
//   capturas_pratica <pasta>     (see capturas.sh, which runs it under Xvfb)
// Each keyboard page with a key lit during a lesson, the finger buttons before a run, and a
// lesson in progress on the lesson page.
#include "MundoPratica.h"

#include "data/Data1.h"
#include "practice/Digitacao.h"
#include "ui/Mensagens.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

void digitar(TFDigitacao& w, const QString& s)
{
    for (QChar c : s) {
        const int key = c == QLatin1Char('\r') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        teclar(w.txtLetra, key, QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

struct Cena {
    const char* arquivo;
    bool abnt2;
    const char* tipo;
    bool teclado;
    const char* texto;
    const char* digitado;  // nullptr: no run started
    int segundos;
    const char32_t* treino = nullptr;  // weak keys of a drill typed instead of the lesson
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString pasta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(pasta);
    ui::definirRespondedor([](ui::TipoMensagem, const QString& t) {
        std::fprintf(stderr, "mensagem: %s\n", qPrintable(t));
        return false;
    });

    const Cena cenas[] = {
        {"pratica-eua.png", false, "Básico", true,
         "O rato roeu a roupa do Rei de Roma.\nA rainha, com raiva, resolveu remendar.", "O rato roeu a roupa do ", 14},
        {"pratica-euan.png", false, "Numérico", true, "123 456 789\n10 20 30", "123\r4", 6},
        {"pratica-abnt2.png", true, "Básico", true, "Maçã à vista, água e pão.\nCoração de estudante.", "Ma", 3},
        {"pratica-abnt2n.png", true, "Numérico", true, "10,5 20,75 300\n44 55 66", "1", 2},
        {"pratica-dedos.png", true, "Básico", true, "asdf", nullptr, 0},
        {"pratica-licao.png", true, "Textos", false,
         "Quem com ferro fere, com ferro será ferido. Água mole em pedra dura, tanto bate até que fura. "
         "Devagar se vai ao longe.\nCada macaco no seu galho.\nMais vale um pássaro na mão do que dois voando.",
         "Quem com ferro fere, com ferro será ferido. Água mole em pedrx", 37},
        // A beginner's drill after the first lesson: groups of the taught keys.
        {"pratica-treino-iniciante.png", true, "Básico", true, "fff jjj fjf jfj ffj jjf", "fff jj", 5, U"j"},
    };

    for (const Cena& cena : cenas) {
        MundoPratica mundo;
        mundo.dm->Abnt2Keyboard = cena.abnt2;
        mundo.aluno(QStringLiteral("MARIA DA SILVA"), QString::fromUtf8(cena.tipo), 1, cena.teclado,
                    QString::fromUtf8("Intermediário"));
        mundo.licao(QString::fromUtf8(cena.tipo), 1, QString::fromUtf8(cena.texto));
        // The keypad picture the build makes, when it has been made.
        const QString figura = QStringLiteral(TARVEX_DATA_DIR "/Tnumero.bmp");
        if (QFile::exists(figura)) {
            QFile::remove(mundo.pasta() + QStringLiteral("/Tnumero.bmp"));
            QFile::copy(figura, mundo.pasta() + QStringLiteral("/Tnumero.bmp"));
        }
        auto w = std::make_unique<TFDigitacao>();
        w->show();
        w->activateWindow();
        if (cena.treino) w->treinarTeclas(cena.treino);
        if (cena.digitado) {
            w->bIniciar->click();
            digitar(*w, QString::fromUtf8(cena.digitado));
            w->Timer1->stop();  // the clock shows the seconds given, not the real ones
            for (int i = 0; i < cena.segundos; ++i) w->Timer1Timer();
            w->TimerCursor->stop();
            w->lblCursor->show();
        } else {
            w->bp2->click();  // "Indicador"
            w->bp5->click();  // "Mínimo"
        }
        // A loop of its own: quitting the application would close the window.
        QEventLoop espera;
        QTimer::singleShot(300, &espera, &QEventLoop::quit);
        espera.exec();
        const QString arquivo = pasta + QLatin1Char('/') + QString::fromLatin1(cena.arquivo);
        w->grab().save(arquivo);
        std::printf("%s\n", qPrintable(arquivo));
        w->Timer1->stop();
        w->hide();
    }
    ui::definirRespondedor({});
    return 0;
}
