#include "Digitacao.h"

#include "data/Data1.h"
#include "platform/Diretorios.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

namespace {

const QColor kPrata(192, 192, 192);
const QColor kPolegar(0, 0, 255);
const QColor kIndicador(0, 255, 255);
const QColor kMedio(255, 0, 0);
const QColor kAnular(255, 255, 0);
const QColor kMinimo(0, 255, 0);
const QColor kShift = kMinimo;

// Where the drawing stands on its page.
constexpr int kMargemX = 6;
constexpr int kMargemY = 4;

struct Tecla {
    int id;           // key number or special id; 0 is the gap between the hands
    const char* legenda;
    int largura;
    QColor cor;
    bool pequena;
};

Tecla t(int id, const char* legenda, const QColor& cor) { return {id, legenda, 32, cor, false}; }
Tecla larga(int id, const char* legenda, int largura, const QColor& cor) { return {id, legenda, largura, cor, true}; }
Tecla vao() { return {0, "", 24, QColor(), false}; }

QString botaoEstilo(const QColor& cor)
{
    return QStringLiteral(
               "QPushButton { border: 1px solid #606060; border-radius: 11px; font: bold 12px Arial;"
               " color: black; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %1); }"
               "QPushButton:pressed { background: %1; }")
        .arg(cor.name());
}

} // namespace

// ---- Drawings --------------------------------------------------------------------------

QLabel* TFDigitacao::novaTecla(PaginaTeclado& p, int id, int x, int y, int w, int h,
                               const QString& legenda, const QColor& cor, bool pequena)
{
    auto* painel = new QLabel(legenda, p.pagina);
    painel->setGeometry(kMargemX + x, kMargemY + y, w, h);
    painel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    painel->setLineWidth(2);
    painel->setAlignment(Qt::AlignCenter);
    painel->setTextFormat(Qt::PlainText);
    painel->setAutoFillBackground(true);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pequena ? 10 : 12);
    f.setBold(true);
    painel->setFont(f);
    QPalette pal = painel->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    painel->setPalette(pal);
    pintar(painel, kPrata);
    p.teclas[id].append(painel);
    p.corDedo.insert(painel, cor);
    p.todas.append(painel);
    return painel;
}

// Paints a key panel; the bevel follows the colour so a lit key still looks raised.
void TFDigitacao::pintar(QLabel* painel, const QColor& cor)
{
    QPalette pal = painel->palette();
    if (pal.color(QPalette::Window) == cor) return;
    pal.setColor(QPalette::Window, cor);
    pal.setColor(QPalette::Light, cor.lighter(150));
    pal.setColor(QPalette::Midlight, cor.lighter(120));
    pal.setColor(QPalette::Mid, cor.darker(130));
    pal.setColor(QPalette::Dark, cor.darker(170));
    pal.setColor(QPalette::Shadow, cor.darker(300));
    painel->setPalette(pal);
}

void TFDigitacao::montarTeclados()
{
    montarTecladoCompleto(paginas_[0], false);
    montarTecladoNumerico(paginas_[1], Image4, false);
    montarTecladoCompleto(paginas_[2], true);
    montarTecladoNumerico(paginas_[3], Image1, true);

    QVector<QPushButton*> b = montarBotoesDedos(paginas_[0], false);
    ba1 = b[0]; ba2 = b[1]; ba3 = b[2]; ba4 = b[3]; ba5 = b[4];
    b = montarBotoesDedos(paginas_[2], false);
    bp1 = b[0]; bp2 = b[1]; bp3 = b[2]; bp4 = b[3]; bp5 = b[4];
    b = montarBotoesDedos(paginas_[1], true);
    bd1 = b[0]; bd2 = b[1]; bced3 = b[2]; bd4 = b[3];
    b = montarBotoesDedos(paginas_[3], true);
    bc1 = b[0]; bc2 = b[1]; bc3 = b[2]; bc4 = b[3];

    const std::pair<QPushButton*, void (TFDigitacao::*)()> ligacoes[] = {
        {ba1, &TFDigitacao::ba1Click}, {ba2, &TFDigitacao::ba2Click}, {ba3, &TFDigitacao::ba3Click},
        {ba4, &TFDigitacao::ba4Click}, {ba5, &TFDigitacao::ba5Click},
        {bp1, &TFDigitacao::bp1Click}, {bp2, &TFDigitacao::bp2Click}, {bp3, &TFDigitacao::bp3Click},
        {bp4, &TFDigitacao::bp4Click}, {bp5, &TFDigitacao::bp5Click},
        {bd1, &TFDigitacao::bd1Click}, {bd2, &TFDigitacao::bd2Click}, {bced3, &TFDigitacao::bced3Click},
        {bd4, &TFDigitacao::bd4Click},
        {bc1, &TFDigitacao::bc1Click}, {bc2, &TFDigitacao::bc2Click}, {bc3, &TFDigitacao::bc3Click},
        {bc4, &TFDigitacao::bc4Click},
    };
    for (const auto& [botao, metodo] : ligacoes)
        connect(botao, &QPushButton::clicked, this, metodo);
}

void TFDigitacao::montarTecladoCompleto(PaginaTeclado& p, bool abnt2)
{
    auto fila = [&](int y, int x, std::initializer_list<Tecla> teclas) {
        for (const Tecla& k : teclas) {
            if (k.id != 0)
                novaTecla(p, k.id, x, y, k.largura, 32, QString::fromUtf8(k.legenda), k.cor, k.pequena);
            x += k.largura;
        }
    };
    const int y[5] = {8, 40, abnt2 ? 72 : 76, abnt2 ? 104 : 108, 144};

    fila(y[0], 4, {t(1, abnt2 ? "\"\n'" : "~\n`", kMinimo), t(2, "!\n1", kMinimo), t(3, "@\n2", kAnular),
                   t(4, "#\n3", kMedio), t(5, "$\n4", kIndicador), t(6, "%\n5", kIndicador), vao(),
                   t(7, abnt2 ? "\u00A8\n6" : "^\n6", kIndicador), t(8, "&\n7", kIndicador),
                   t(9, "*\n8", kMedio), t(10, "(\n9", kAnular), t(11, ")\n0", kMinimo),
                   t(12, "_\n-", kMinimo), t(13, "+\n=", kMinimo),
                   larga(kBackspace, "Backspace \n\u2190", 72, kMinimo)});
    fila(y[1], 4, {larga(kTab, "Tab", 48, kMinimo), t(14, "Q", kMinimo), t(15, "W", kAnular),
                   t(16, "E", kMedio), t(17, "R", kIndicador), t(18, "T", kIndicador), vao(),
                   t(19, "Y", kIndicador), t(20, "U", kIndicador), t(21, "I", kMedio),
                   t(22, "O", kAnular), t(23, "P", kMinimo),
                   t(24, abnt2 ? "`\n\u00B4" : "{\n[", kMinimo), t(25, abnt2 ? "{\n[" : "}\n]", kMinimo)});
    if (abnt2) {
        fila(y[2], 4, {larga(kCaps, "Caps Lock", 64, kMinimo), t(26, "A", kMinimo), t(27, "S", kAnular),
                       t(28, "D", kMedio), t(29, "F", kIndicador), t(30, "G", kIndicador), vao(),
                       t(31, "H", kIndicador), t(32, "J", kIndicador), t(33, "K", kMedio),
                       t(34, "L", kAnular), t(35, "\u00C7", kMinimo), t(36, "^\n~", kMinimo),
                       t(37, "}\n]", kMinimo)});
        fila(y[3], 4, {larga(kShiftEsq, "Shift", 52, kShift), t(38, "|\n\\", kMinimo),
                       t(39, "Z", kMinimo), t(40, "X", kAnular), t(41, "C", kMedio),
                       t(42, "V", kIndicador), t(43, "B", kIndicador), vao(), t(44, "N", kIndicador),
                       t(45, "M", kIndicador), t(46, "<\n,", kMedio), t(47, ">\n.", kAnular),
                       t(48, ":\n;", kMinimo), t(49, "?\n/", kMinimo), larga(kShiftDir, "Shift", 52, kShift)});
        fila(y[4], 136, {{50, "", 257, kPolegar, false}});
        // Enter: the overhang of the upper part, the upper part, the lower part.
        novaTecla(p, 51, 460, 40, 16, 32, QString(), kMinimo);
        novaTecla(p, 51, 476, 40, 40, 32, QStringLiteral("Enter"), kMinimo, true);
        novaTecla(p, 51, 476, 72, 40, 32, QStringLiteral("\u21B5"), kMinimo);
    } else {
        fila(y[2], 4, {larga(kCaps, "Caps Lock", 64, kMinimo), t(26, "A", kMinimo), t(27, "S", kAnular),
                       t(28, "D", kMedio), t(29, "F", kIndicador), t(30, "G", kIndicador), vao(),
                       t(31, "H", kIndicador), t(32, "J", kIndicador), t(33, "K", kMedio),
                       t(34, "L", kAnular), t(35, ":\n;", kMinimo), t(36, "\"\n\u00B4", kMinimo)});
        fila(y[3], 4, {larga(kShiftEsq, "Shift", 84, kShift), t(37, "Z", kMinimo), t(38, "X", kAnular),
                       t(39, "C", kMedio), t(40, "V", kIndicador), t(41, "B", kIndicador), vao(),
                       t(42, "N", kIndicador), t(43, "M", kIndicador), t(44, "<\n,", kMedio),
                       t(45, ">\n.", kAnular), t(46, "?\n/", kMinimo), larga(kShiftDir, "Shift", 84, kShift)});
        fila(y[4], 136, {{47, "", 257, kPolegar, false}});
        // Enter: the upper part (which spans the gap between the rows), the overhang of the
        // lower part, the lower part.
        novaTecla(p, 48, 460, 40, 56, 36, QStringLiteral("Enter"), kMinimo, true);
        novaTecla(p, 48, 444, 76, 32, 32, QString(), kMinimo);
        novaTecla(p, 48, 476, 76, 40, 32, QStringLiteral("\u21B5"), kMinimo);
    }
    p.shiftEsq = p.teclas[kShiftEsq].first();
    p.shiftDir = p.teclas[kShiftDir].first();

    const int enter = abnt2 ? 51 : 48;
    const int fim = abnt2 ? 42 : 40;  // first index key of the bottom row
    p.grupos = {
        {abnt2 ? 50 : 47},
        {5, 6, 7, 8, 17, 18, 19, 20, 29, 30, 31, 32, fim, fim + 1, fim + 2, fim + 3},
        abnt2 ? QVector<int>{4, 16, 28, 41, 9, 21, 33, 46} : QVector<int>{4, 16, 28, 39, 9, 21, 33, 44},
        abnt2 ? QVector<int>{3, 15, 27, 40, 10, 22, 34, 47} : QVector<int>{3, 15, 27, 38, 10, 22, 34, 45},
        abnt2 ? QVector<int>{1, 2, kCaps, kTab, 14, 26, kShiftEsq, 38, 39, 11, 12, 13, kBackspace, 23, 24,
                             25, 35, 36, 37, enter, 49, kShiftDir, 48}
              : QVector<int>{1, 2, 14, 26, 37, kTab, kCaps, kShiftEsq, 11, 12, 13, 23, 24, 25, 35, 36,
                             46, kBackspace, kShiftDir, enter},
    };
    p.coresGrupo = {kPolegar, kIndicador, kMedio, kAnular, kMinimo};
}

void TFDigitacao::montarTecladoNumerico(PaginaTeclado& p, QLabel*& imagem, bool abnt2)
{
    imagem = new QLabel(p.pagina);
    imagem->setGeometry(kMargemX + 4, kMargemY + 8, 333, 165);
    imagem->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    imagem->setLineWidth(2);
    imagem->setAlignment(Qt::AlignCenter);

    const int x0 = 352;
    const int c[4] = {x0, x0 + 32, x0 + 64, x0 + 96};
    const int r[5] = {8, 40, 72, 104, 136};
    novaTecla(p, kNumLock, c[0], r[0], 32, 32, QStringLiteral("Num\nLock"), kIndicador, true);
    novaTecla(p, 5, c[1], r[0], 32, 32, QStringLiteral("/"), kMedio);
    novaTecla(p, 1, c[2], r[0], 32, 32, QStringLiteral("*"), kAnular);
    novaTecla(p, 4, c[3], r[0], 32, 32, QStringLiteral("-"), kMinimo);
    novaTecla(p, 13, c[0], r[1], 32, 32, QStringLiteral("7"), kIndicador);
    novaTecla(p, 14, c[1], r[1], 32, 32, QStringLiteral("8"), kMedio);
    novaTecla(p, 15, c[2], r[1], 32, 32, QStringLiteral("9"), kAnular);
    novaTecla(p, 2, c[3], r[1], 32, abnt2 ? 32 : 64, QStringLiteral("+"), kMinimo);
    novaTecla(p, 10, c[0], r[2], 32, 32, QStringLiteral("4"), kIndicador);
    novaTecla(p, 11, c[1], r[2], 32, 32, QStringLiteral("5"), kMedio);
    novaTecla(p, 12, c[2], r[2], 32, 32, QStringLiteral("6"), kAnular);
    if (abnt2) novaTecla(p, kPontoTeclado, c[3], r[2], 32, 32, QStringLiteral("."), kMinimo);
    novaTecla(p, 7, c[0], r[3], 32, 32, QStringLiteral("1"), kIndicador);
    novaTecla(p, 8, c[1], r[3], 32, 32, QStringLiteral("2"), kMedio);
    novaTecla(p, 9, c[2], r[3], 32, 32, QStringLiteral("3"), kAnular);
    novaTecla(p, 16, c[3], r[3], 32, 64, QStringLiteral("Enter"), kMinimo, true);
    // The 0 key: two halves, each with its own finger.
    QLabel* zeroEsq = novaTecla(p, 6, c[0], r[4], 32, 32, QStringLiteral("0"), kIndicador);
    QLabel* zeroDir = novaTecla(p, 6, c[1], r[4], 32, 32, QString(), kMedio);
    p.teclas[kZeroEsq] = {zeroEsq};
    p.teclas[kZeroDir] = {zeroDir};
    novaTecla(p, 3, c[2], r[4], 32, 32, abnt2 ? QStringLiteral(",") : QStringLiteral("."), kAnular);

    p.grupos = {
        {kNumLock, 13, 10, 7, kZeroEsq},
        {5, 14, 11, 8, kZeroDir},
        {1, 15, 12, 9, 3},
        abnt2 ? QVector<int>{4, 2, kPontoTeclado, 16} : QVector<int>{4, 2, 16},
    };
    p.coresGrupo = {kIndicador, kMedio, kAnular, kMinimo};
}

QVector<QPushButton*> TFDigitacao::montarBotoesDedos(PaginaTeclado& p, bool numerico)
{
    static const char* const nomes[] = {"Polegar", "Indicador", "M\u00E9dio", "Anular", "M\u00EDnimo"};
    static const QColor cores[] = {kPolegar, kIndicador, kMedio, kAnular, kMinimo};
    QVector<QPushButton*> botoes;
    const int primeiro = numerico ? 1 : 0;
    for (int i = primeiro; i < 5; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(nomes[i]), p.pagina);
        b->setGeometry(532, (numerico ? 26 : 12) + (i - primeiro) * 36, 90, 24);
        b->setStyleSheet(botaoEstilo(cores[i]));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        botoes.append(b);
    }
    return botoes;
}

// ---- Choosing the layout ---------------------------------------------------------------

void TFDigitacao::SelecionarTeclado()
{
    CodigoTeclado = (dm1->Abnt2Keyboard ? 5 : 0) + (LicaoNumerica ? 3 : 0) + (TecladoLigado ? 1 : 0);
    int pagina = 4;
    switch (CodigoTeclado) {
    case 1: pagina = 0; break;
    case 4: pagina = 1; break;
    case 6: pagina = 2; break;
    case 9: pagina = 3; break;
    default: break;
    }
    Notebook2->setCurrentIndex(pagina);
    if (TecladoLigado) Abrir_TabTecla();
}

void TFDigitacao::Abrir_TabTecla()
{
    QString arquivo;
    switch (CodigoTeclado) {
    case 1: arquivo = QStringLiteral("TecladoA.dbf"); break;
    case 6: arquivo = QStringLiteral("TecladoB.dbf"); break;
    case 4:
    case 9: arquivo = QStringLiteral("TecladoN.dbf"); break;
    default: return;
    }
    if (CodigoTeclado == 4 || CodigoTeclado == 9) {
        // The picture lies in the program directory itself.
        const QPixmap figura(plataforma::resolver(plataforma::juntar(dm1->ProgramDir, QStringLiteral("Tnumero.bmp"))));
        (CodigoTeclado == 4 ? Image4 : Image1)->setPixmap(figura);
    }
    if (TabTecla->active()) TabTecla->close();
    TabTecla->setDatabaseName(plataforma::resolver(plataforma::juntar(dm1->ProgramDir, QStringLiteral("dados"))));
    TabTecla->setTableName(arquivo);
    TabTecla->setIndexName(QStringLiteral("LETRA"));
    TabTecla->open();
}

// ---- Lighting --------------------------------------------------------------------------

void TFDigitacao::AchaTecla(const QString& letra)
{
    // A character without a row lights nothing (the key lit before still goes back to
    // silver), rather than the key of whatever row the table stood on.
    linhaAchada_ = !letra.isEmpty() && TabTecla->active() && TabTecla->findKey(letra);
    if (linhaAchada_) {
        TeclaAtual = int(TabTecla->fieldByName(QStringLiteral("POS")).asInteger());
        LadoShift = quint8(TabTecla->fieldByName(QStringLiteral("SHIFDE")).asInteger() & 0xFF);
    } else {
        TeclaAtual = 0;
        LadoShift = 0;
    }
    switch (CodigoTeclado) {
    case 1: LimpaAnt1(); Acha1(); break;
    case 4: LimpaAnt2(); Acha2(); break;
    case 6: LimpaAnt3(); Acha3(); break;
    case 9: LimpaAnt4(); Acha4(); break;
    default: break;
    }
}

void TFDigitacao::LimparTeclaAnt()
{
    switch (CodigoTeclado) {
    case 1: LimpaAnt1(); break;
    case 4: LimpaAnt2(); break;
    case 6: LimpaAnt3(); break;
    case 9: LimpaAnt4(); break;
    default: break;
    }
}

void TFDigitacao::Restaura()
{
    switch (CodigoTeclado) {
    case 1: Restaura1(); break;
    case 4: Restaura2(); break;
    case 6: Restaura3(); break;
    case 9: Restaura4(); break;
    default: break;
    }
}

void TFDigitacao::Acha1() { acha(0); }
void TFDigitacao::Acha2() { acha(1); }
void TFDigitacao::Acha3() { acha(2); }
void TFDigitacao::Acha4() { acha(3); }
void TFDigitacao::LimpaAnt1() { limpaAnt(0); }
void TFDigitacao::LimpaAnt2() { limpaAnt(1); }
void TFDigitacao::LimpaAnt3() { limpaAnt(2); }
void TFDigitacao::LimpaAnt4() { limpaAnt(3); }
void TFDigitacao::Restaura1() { restaura(0); }
void TFDigitacao::Restaura2() { restaura(1); }
void TFDigitacao::Restaura3() { restaura(2); }
void TFDigitacao::Restaura4() { restaura(3); }

void TFDigitacao::acha(int pagina)
{
    PaginaTeclado& p = paginas_[pagina];
    if (TeclaAtual > 0) {
        const auto it = p.teclas.constFind(TeclaAtual);
        if (it != p.teclas.constEnd())
            for (QLabel* painel : *it) pintar(painel, p.corDedo.value(painel));
    }
    TeclaAnterior = TeclaAtual;
    if (p.shiftEsq) {  // full layouts only
        if (LadoShift == 1) pintar(p.shiftDir, kShift);
        else if (LadoShift == 2) pintar(p.shiftEsq, kShift);
    }
}

void TFDigitacao::limpaAnt(int pagina)
{
    PaginaTeclado& p = paginas_[pagina];
    if (TeclaAnterior > 0) {
        const auto it = p.teclas.constFind(TeclaAnterior);
        if (it != p.teclas.constEnd())
            for (QLabel* painel : *it) pintar(painel, kPrata);
    }
    if (p.shiftEsq) {
        pintar(p.shiftEsq, kPrata);
        pintar(p.shiftDir, kPrata);
    }
}

void TFDigitacao::restaura(int pagina)
{
    for (QLabel* painel : paginas_[pagina].todas) pintar(painel, kPrata);
}

// ---- Finger buttons --------------------------------------------------------------------

void TFDigitacao::alternarGrupo(int pagina, int grupo)
{
    if (Timer1->isActive()) return;  // locked while the student types
    PaginaTeclado& p = paginas_[pagina];
    const QVector<int>& ids = p.grupos[grupo];
    const QColor cor = p.coresGrupo[grupo];
    const QColor atual = p.teclas.value(ids.first()).first()->palette().color(QPalette::Window);
    const QColor nova = atual == cor ? kPrata : cor;
    for (int id : ids)
        for (QLabel* painel : p.teclas.value(id)) pintar(painel, nova);
}

void TFDigitacao::ba1Click() { alternarGrupo(0, 0); }
void TFDigitacao::ba2Click() { alternarGrupo(0, 1); }
void TFDigitacao::ba3Click() { alternarGrupo(0, 2); }
void TFDigitacao::ba4Click() { alternarGrupo(0, 3); }
void TFDigitacao::ba5Click() { alternarGrupo(0, 4); }
void TFDigitacao::bp1Click() { alternarGrupo(2, 0); }
void TFDigitacao::bp2Click() { alternarGrupo(2, 1); }
void TFDigitacao::bp3Click() { alternarGrupo(2, 2); }
void TFDigitacao::bp4Click() { alternarGrupo(2, 3); }
void TFDigitacao::bp5Click() { alternarGrupo(2, 4); }
void TFDigitacao::bd1Click() { alternarGrupo(1, 0); }
void TFDigitacao::bd2Click() { alternarGrupo(1, 1); }
void TFDigitacao::bced3Click() { alternarGrupo(1, 2); }
void TFDigitacao::bd4Click() { alternarGrupo(1, 3); }
void TFDigitacao::bc1Click() { alternarGrupo(3, 0); }
void TFDigitacao::bc2Click() { alternarGrupo(3, 1); }
void TFDigitacao::bc3Click() { alternarGrupo(3, 2); }
void TFDigitacao::bc4Click() { alternarGrupo(3, 3); }

// ---- Inspection --------------------------------------------------------------------------

QColor TFDigitacao::corTecla(int pagina, int tecla, int painel) const
{
    if (pagina < 0 || pagina > 3) return QColor();
    const QVector<QLabel*> paineis = paginas_[pagina].teclas.value(tecla);
    if (painel < 0 || painel >= paineis.size()) return QColor();
    return paineis[painel]->palette().color(QPalette::Window);
}

int TFDigitacao::paineisDaTecla(int pagina, int tecla) const
{
    if (pagina < 0 || pagina > 3) return 0;
    return paginas_[pagina].teclas.value(tecla).size();
}
