#pragma once
#include <QColor>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include "SessaoDigitacao.h"
#include "domain/DesenhoTeclado.h"
#include "domain/EstatisticaTeclas.h"
#include "domain/Licoes.h"

#include <QElapsedTimer>
#include <memory>

class Locutor;

class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTableWidget;
class QTimer;
class QWidget;
class TApTable;

namespace plataforma { class SomWave; }

// The practice window ("Digitação"): the student copies a lesson line by line while the
// keyboard guide lights the next key in the colour of the finger that presses it. The run
// itself (lines, keystrokes, clock, what the end decides) is a SessaoDigitacao; the window
// forwards the keys to it and draws what it announces. The code is split by concern: Digitacao.cpp (window and lesson set-up), DigitacaoTeclas.cpp
// (keystrokes), DigitacaoTeclado.cpp (keyboard guide), DigitacaoRelogio.cpp (clock, end of
// lesson).
class TFDigitacao : public QDialog {
    Q_OBJECT
public:
    explicit TFDigitacao(QWidget* parent = nullptr);
    ~TFDigitacao() override;

    // ---- Components -----------------------------------------------------------------
    QFrame* Panel4;
    QPushButton* bIniciar;
    QPushButton* bPausar;
    QPushButton* bPesquisa;
    QPushButton* bTeclado;
    QPushButton* fcShapeBtn4;  // "&Sair"
    QPushButton* fcShapeBtn5;  // "Ajuda"

    QFrame* Panel5;
    QLabel* VelL;
    QLabel* PrecL;
    QLabel* DuracaoL;
    QLabel* lLicao;
    QProgressBar* pSeg;
    QLabel* LTipo;
    QLabel* lNivel;
    QLabel* LNome;
    QLabel* lVeloc;
    QLabel* LPrec;

    QStackedWidget* Notebook2;  // pages EUA, EUAn, ABNT2, ABNT2n, PLicao
    QTableWidget* Grid1;
    QLabel* Image1;  // keypad picture on "ABNT2n"
    QLabel* Image4;  // keypad picture on "EUAn"

    QFrame* pLic;
    QLabel* lblTexto;
    QLabel* lblCopy1;
    QLabel* lblCursor;
    QLineEdit* txtLetra;

    QStatusBar* sb1;
    QList<QLabel*> sb1Panels;  // the seven panels, 0 to 6

    QTimer* Timer1;       // clock; enabled exactly while the student types
    QTimer* TimerCursor;  // cursor blink
    QTimer* TimerFala;    // a wait after which the expected key is said
    plataforma::SomWave* wave1;
    TApTable* TabTecla;   // keyboard map of the guide

    // Finger buttons: EUA, ABNT2 (thumb to little), EUAn, ABNT2n (index to little).
    QPushButton *ba1, *ba2, *ba3, *ba4, *ba5;
    QPushButton *bp1, *bp2, *bp3, *bp4, *bp5;
    QPushButton *bd1, *bd2, *bced3, *bd4;
    QPushButton *bc1, *bc2, *bc3, *bc4;

    // The lesson text as the hidden memo lays it out, one entry per typing line.
    QStringList DBMemo1;
    // The lessons of the working folder, read as values; the set-up of the next run.
    std::unique_ptr<dominio::LeitorLicoes> licoes_;
    SessaoDigitacao::Licao licao_;

    // ---- Practice state -------------------------------------------------------------
    // The run itself: lines, position, hits and errors, clock.
    SessaoDigitacao* sessao;
    bool TecladoLigado = false;
    bool LicaoNumerica = false;
    QString NomeAluno;   // at most 25 characters
    QString TipoLicao;   // at most 15
    QString NivelAluno;  // at most 15
    bool Recarregar = false;

    // ---- Guide state ----------------------------------------------------------------
    int CodigoTeclado = 0;
    int TeclaAtual = 0;
    int TeclaAnterior = 0;
    quint8 LadoShift = 0;

    // Number of error sounds asked for (the sound itself may be silent).
    int sonsDeErro = 0;

    // ---- Set-up (Digitacao.cpp) -----------------------------------------------------
    void FormShow();
    void CarregarLicao();
    void iniciarSessao(int numLicao);
    void ZerarDados();
    void LimparDados();
    void Ativar();
    void Desativar();
    void bIniciarClick();
    void bPausarClick();
    void bTecladoClick();
    void bPesquisaClick();
    // The weak-key drill in place of the next lesson ("Treino"): not a lesson result, its key
    // figures kept. False (and a message) when no taught word holds those keys.
    bool treinarTeclas(const std::u32string& fracas);
    void fcShapeBtn5Click();
    bool FormCloseQuery();
    void FormClose();

    // ---- Keystrokes (DigitacaoTeclas.cpp) --------------------------------------------
    void InserirTecla();
    void txtLetraKeyPress(QChar& Key);
    void txtLetraKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void TimerCursorTimer();
    // The next key by name, finger and hand ("F, indicador esquerdo"); empty at a line's end.
    QString proximaTecla() const;
    // The character the student is to type now (Enter as "\r"); empty when none.
    QString caractereEsperado() const;
    // One key press, whichever child of the window has the focus: the key-down step, then
    // the session composes and evaluates the character(s).
    void teclaPressionada(int key, const QString& texto, Qt::KeyboardModifiers mods);

    // ---- Keyboard guide (DigitacaoTeclado.cpp) ----------------------------------------
    void SelecionarTeclado();
    void Abrir_TabTecla();
    void AchaTecla(const QString& letra);
    void LimparTeclaAnt();
    void Restaura();
    void Acha1();
    void Acha2();
    void Acha3();
    void Acha4();
    void LimpaAnt1();
    void LimpaAnt2();
    void LimpaAnt3();
    void LimpaAnt4();
    void Restaura1();
    void Restaura2();
    void Restaura3();
    void Restaura4();
    void ba1Click();
    void ba2Click();
    void ba3Click();
    void ba4Click();
    void ba5Click();
    void bp1Click();
    void bp2Click();
    void bp3Click();
    void bp4Click();
    void bp5Click();
    void bd1Click();
    void bd2Click();
    void bced3Click();
    void bd4Click();
    void bc1Click();
    void bc2Click();
    void bc3Click();
    void bc4Click();

    // Special key ids of the drawings (key numbers are positive).
    enum TeclaEspecial {
        kTab = dominio::kTab, kCaps = dominio::kCaps, kShiftEsq = dominio::kShiftEsq,
        kShiftDir = dominio::kShiftDir, kBackspace = dominio::kBackspace, kNumLock = dominio::kNumLock,
        kPontoTeclado = dominio::kPontoTeclado
    };
    static QColor corDoDedo(dominio::Dedo dedo);  // in the scheme in use
    // Colour of a panel of a key on a page (0 EUA, 1 EUAn, 2 ABNT2, 3 ABNT2n); invalid
    // when the page has no such key.
    QColor corTecla(int pagina, int tecla, int painel = 0) const;
    int paineisDaTecla(int pagina, int tecla) const;

    // ---- Clock and end of lesson (DigitacaoRelogio.cpp) -----------------------------
    void Timer1Timer();
    // The result row, then the unlock of the next lesson; throws when a write fails, with
    // nothing left pending.
    void FazerRelatorio();
    void VerificarRecorde();
    void gravarResultado();
    void mostrarResultado();
    long long gravarRecorde();
    void mostrarRecorde(long long pontos);
    // Caps and Num panels from the system's lock lights.
    void atualizarTravas();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One keyboard drawing.
    struct PaginaTeclado {
        QWidget* pagina = nullptr;
        QHash<int, QVector<QLabel*>> teclas;  // key number or special id -> panels
        QHash<QLabel*, dominio::Dedo> dedo;    // the finger of a panel's key: its colour when lit
        QVector<QLabel*> todas;                // every panel, for Restaura
        QLabel* shiftEsq = nullptr;
        QLabel* shiftDir = nullptr;
        QVector<QLabel*> dedos[5];             // the panels of each finger
        dominio::DesenhoTeclado desenho;       // where each key is, and its finger
    };

    void montarJanela();
    void aplicarCores();
    void aplicarTamanho(int percentual, bool dislexia);
    void pintarTeclado();  // every key put out and the finger buttons, in the scheme's colours
    void montarTeclados();
    QLabel* montarFiguraNumerica(PaginaTeclado& p);
    QVector<QPushButton*> montarBotoesDedos(PaginaTeclado& p, bool numerico);
    void novaTecla(PaginaTeclado& p, const dominio::PainelTecla& tecla);
    static void pintar(QLabel* painel, const QColor& cor);
    static void ajustarRotulo(QLabel* rotulo);
    void ajustarPainelData();

    void acha(int pagina);
    void limpaAnt(int pagina);
    void restaura(int pagina);
    void alternarGrupo(int pagina, int grupo);

    void mostrarCopia(bool erro);
    void anunciarCopia(int cursor);
    void tocarErro();
    void linhaNova();
    void acertou();
    void errou();
    void terminarLicao();
    QStringList treino_;  // lines of the drill to type next; empty for a lesson
    bool treinando_ = false;
    // The lesson's key figures go to their table; a failure there leaves the result as stored.
    void gravarTeclasDaLicao();
    // Keys of any child go to the run while it is active (application-wide filter).
    bool teclaDaJanela(QObject* watched, QEvent* event);

    PaginaTeclado paginas_[4];
    QTimer* timerTravas_ = nullptr;
    bool linhaAchada_ = false;   // the last lookup found a row of the keyboard map
    bool mostrado_ = false;
    dominio::EstatisticaTeclas teclas_;  // key figures of the lesson being typed
    QElapsedTimer relogioTeclas_;
    // The voice, when the student's "Falar" is on; the expected key is said after a wait.
    std::unique_ptr<Locutor> locutor_;
};
