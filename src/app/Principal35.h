#pragma once
#include "xbase/Error.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class TApTable;
class QTimer;
class TfAbertura;
class TLabel3D;
class TQelImage;
class TLabel3D;
namespace plataforma {
class SomWave;
class TocadorMidi;
}

// The start directory: the current directory when the main menu was created.
extern QString StartDir;

// One file of the first-run copy and the overall progress after it.
struct ArquivoCopia {
    const char* nome;
    int percentual;
};
extern const ArquivoCopia kListaCopia[10];

// The main menu: a full-screen black window with eight picture buttons.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Returns after ms milliseconds while window messages keep being processed.
    // A wait that is already running is not nested.
    void Esperar(int ms);
    // Starts a new random song when music is on, stops the music otherwise.
    void TocarMusica();
    void Timer3Timer();
    // After the settings window closed: music off stops it; music on starts it when the timer
    // is off; a song playing with the timer on goes on.
    void aplicarRegraMusica();
    // Work the menu itself does not need runs once, at the first button click, before the
    // button's own work: a user who only looks at the menu never pays its time and memory.
    void noPrimeiroClique(std::function<void()> tarefa);

    // Built while the splash waits (see montarMenu).
    QWidget* Panel1 = nullptr;
    TQelImage* DigiImage = nullptr;
    TQelImage* CadImage = nullptr;
    TQelImage* RecImage = nullptr;
    TQelImage* AjudaImage = nullptr;
    TQelImage* ConfigImage = nullptr;
    TQelImage* LicaoImage = nullptr;
    TQelImage* ExigeImage = nullptr;
    TQelImage* SairImage = nullptr;
    TLabel3D* Label1 = nullptr;
    QTimer* Timer3 = nullptr;

    // Current song (1 to 18) and its end position in milliseconds; 0 until the first song.
    int musicaAtual() const { return musicaAtual_; }
    qint64 fimMusica() const { return fimMusica_; }
    plataforma::TocadorMidi* Mp1() const { return mp1_.get(); }

    // Tests give their own music player and song choice.
    static std::function<std::unique_ptr<plataforma::TocadorMidi>()> fabricaTocador;
    static std::function<int()> sorteioMusica;

signals:
    // After each file of the first-run copy, with the overall progress.
    void arquivoCopiado(const QString& nome, int percentual);
    void inicioConcluido();

public slots:
    void DigiImageClick();
    void CadImageClick();
    void RecImageClick();
    void AjudaImageClick();
    void ConfigImageClick();
    void LicaoImageClick();
    void ExigeImageClick();
    void SairImageClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormCloseQuery(QCloseEvent* event);
    void copiarArquivosIniciais(const QString& pastaDados, const QString& trabalho, bool primeiraVez);
    void perguntarTecladoABNT2();
    // Opens a table, offering to repair it when it is damaged; false (and the reason kept for
    // the windows that need it) when it could not be opened.
    bool abrirTabela(TApTable* tabela, const QString& pasta);
    // What the kind of the failure allows: a repair, another try; true when the table may be
    // opened again.
    bool remediar(const QString& nomeTabela, const QString& pasta, xbase::ErrorKind tipo);
    bool oferecerReparo(const QString& nomeTabela, const QString& pasta);
    void verificarTabela(const QString& nome, const QString& pasta);  // opened and closed, when it is there
    void esconderAbertura();
    // False, after saying which table and why, when one of them is not open.
    bool tabelasProntas(std::initializer_list<TApTable*> tabelas);
    bool tabelaDeLicoesPronta();  // the lesson table of the keyboard in use opens
    TQelImage* criarBotao(const QString& lista, int x, int y, const QString& dica);
    void tocarClique();
    void posicionarPainel();
    void executarAdiado();
    void montarMenu();  // the menu's widgets, pictures and window
    void prepararTeclado();  // focus order, the arrows' grid, Alt letters, F1 and Escape
    QList<QList<TQelImage*>> colunas_;  // the buttons as laid out: two columns of four

    TfAbertura* splash_ = nullptr;
    std::unique_ptr<plataforma::TocadorMidi> mp1_;
    plataforma::SomWave* LWave1 = nullptr;
    bool esperando_ = false;
    bool mostrado_ = false;
    std::function<void()> adiado_;
    bool avisouFalhaMusica_ = false;
    int musicaAtual_ = 0;
    qint64 fimMusica_ = 0;
    QHash<QString, QString> falhas_;  // table name -> why it could not be opened
};
