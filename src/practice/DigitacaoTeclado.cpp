#include "Digitacao.h"

#include "data/Data1.h"
#include "platform/Diretorios.h"
#include "ui/Acessibilidade.h"
#include "ui/Cores.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

namespace {

// A key not lit.
QColor apagada() { return ui::cores().teclaApagada; }

// Where the drawing stands on its page.
constexpr int kMargemX = 6;
constexpr int kMargemY = 4;

// A finger button in its finger's colour: a gradient from white in the normal scheme, the
// colour itself with a white border in the high-contrast one.
QString botaoEstilo(const QColor& cor)
{
    if (ui::cores().altoContraste)
        return QStringLiteral("QPushButton { border: 2px solid white; border-radius: 11px; font: bold 12px Arial;"
                              " color: %2; background: %1; }"
                              "QPushButton:focus { border: 3px solid white; }")
            .arg(cor.name(), ui::textoSobre(cor).name());
    return QStringLiteral(
               "QPushButton { border: 1px solid #606060; border-radius: 11px; font: bold 12px Arial;"
               " color: black; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 %1); }"
               "QPushButton:pressed { background: %1; }")
        .arg(cor.name());
}

// The keyboard descriptions shipped with the program: the drawings come from them.
QHash<QString, dominio::DesenhoTeclado> desenhos()
{
    QHash<QString, dominio::DesenhoTeclado> r;
    for (const char* arquivo : {":/teclados/TecladoA.txt", ":/teclados/TecladoB.txt", ":/teclados/TecladoN.txt"}) {
        QFile f(QString::fromLatin1(arquivo));
        if (!f.open(QIODevice::ReadOnly)) continue;  // no drawing: the page stays empty
        for (const dominio::DesenhoTeclado& d : dominio::lerDesenhos(f.readAll().toStdString()))
            r.insert(QString::fromStdString(d.nome), d);
    }
    return r;
}

} // namespace

QColor TFDigitacao::corDoDedo(dominio::Dedo dedo)
{
    const int i = int(dedo);
    return i >= 0 && i < 5 ? ui::cores().dedos[i] : apagada();
}

void TFDigitacao::pintarTeclado()
{
    for (int pagina = 0; pagina < 4; ++pagina) restaura(pagina);
    for (QPushButton* b :
         {ba1, ba2, ba3, ba4, ba5, bp1, bp2, bp3, bp4, bp5, bd1, bd2, bced3, bd4, bc1, bc2, bc3, bc4})
        b->setStyleSheet(botaoEstilo(corDoDedo(dominio::Dedo(b->property("dedo").toInt()))));
}

// ---- Drawings --------------------------------------------------------------------------

void TFDigitacao::novaTecla(PaginaTeclado& p, const dominio::PainelTecla& t)
{
    const QString legenda = QString::fromStdString(t.legenda);
    auto* painel = new QLabel(legenda, p.pagina);
    painel->setGeometry(kMargemX + t.x, kMargemY + t.y, t.largura, t.altura);
    painel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    painel->setLineWidth(2);
    painel->setAlignment(Qt::AlignCenter);
    painel->setTextFormat(Qt::PlainText);
    painel->setAutoFillBackground(true);
    // Words ("Enter", "Caps Lock") in the small font; signs in the large one.
    bool pequena = false;
    for (const QString& l : legenda.split(QLatin1Char('\n'))) pequena = pequena || l.trimmed().size() > 1;
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pequena ? 10 : 12);
    f.setBold(true);
    painel->setFont(f);
    pintar(painel, apagada());
    p.teclas[t.tecla].append(painel);
    p.dedo.insert(painel, t.dedo);
    p.dedos[int(t.dedo)].append(painel);
    p.todas.append(painel);
}

// Paints a key panel; the bevel follows the colour so a lit key still looks raised.
void TFDigitacao::pintar(QLabel* painel, const QColor& cor)
{
    QPalette pal = painel->palette();
    if (pal.color(QPalette::Window) == cor) return;
    pal.setColor(QPalette::Window, cor);
    pal.setColor(QPalette::WindowText, ui::textoSobre(cor));  // the thumb's blue needs white letters
    pal.setColor(QPalette::Light, cor.lighter(150));
    pal.setColor(QPalette::Midlight, cor.lighter(120));
    pal.setColor(QPalette::Mid, cor.darker(130));
    pal.setColor(QPalette::Dark, cor.darker(170));
    pal.setColor(QPalette::Shadow, cor.darker(300));
    painel->setPalette(pal);
}

void TFDigitacao::montarTeclados()
{
    const QHash<QString, dominio::DesenhoTeclado> todos = desenhos();
    for (PaginaTeclado& p : paginas_) {
        p.desenho = todos.value(p.pagina->objectName());
        for (const dominio::PainelTecla& t : p.desenho.paineis) novaTecla(p, t);
        p.shiftEsq = p.teclas.value(kShiftEsq).value(0);
        p.shiftDir = p.teclas.value(kShiftDir).value(0);
    }
    Image4 = montarFiguraNumerica(paginas_[1]);
    Image1 = montarFiguraNumerica(paginas_[3]);

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

// The keypad pages show a picture of the keypad beside the drawing.
QLabel* TFDigitacao::montarFiguraNumerica(PaginaTeclado& p)
{
    auto* imagem = new QLabel(p.pagina);
    imagem->setGeometry(kMargemX + 4, kMargemY + 8, 333, 165);
    imagem->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    imagem->setLineWidth(2);
    imagem->setAlignment(Qt::AlignCenter);
    imagem->lower();
    return imagem;
}

QVector<QPushButton*> TFDigitacao::montarBotoesDedos(PaginaTeclado& p, bool numerico)
{
    static const char* const nomes[] = {"Polegar", "Indicador", "M\u00E9dio", "Anular", "M\u00EDnimo"};
    QVector<QPushButton*> botoes;
    const int primeiro = numerico ? 1 : 0;
    for (int i = primeiro; i < 5; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(nomes[i]), p.pagina);
        b->setGeometry(532, (numerico ? 26 : 12) + (i - primeiro) * 36, 90, 24);
        b->setProperty("dedo", i);
        b->setFocusPolicy(Qt::TabFocus);
        b->setAutoDefault(false);
        b->setAccessibleDescription(QStringLiteral("Mostra as teclas deste dedo"));
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
            for (QLabel* painel : *it) pintar(painel, corDoDedo(p.dedo.value(painel)));
    }
    TeclaAnterior = TeclaAtual;
    if (p.shiftEsq) {  // full layouts only
        if (LadoShift == 1) pintar(p.shiftDir, corDoDedo(dominio::Dedo::Minimo));
        else if (LadoShift == 2) pintar(p.shiftEsq, corDoDedo(dominio::Dedo::Minimo));
    }
}

void TFDigitacao::limpaAnt(int pagina)
{
    PaginaTeclado& p = paginas_[pagina];
    if (TeclaAnterior > 0) {
        const auto it = p.teclas.constFind(TeclaAnterior);
        if (it != p.teclas.constEnd())
            for (QLabel* painel : *it) pintar(painel, apagada());
    }
    if (p.shiftEsq) {
        pintar(p.shiftEsq, apagada());
        pintar(p.shiftDir, apagada());
    }
}

void TFDigitacao::restaura(int pagina)
{
    for (QLabel* painel : paginas_[pagina].todas) pintar(painel, apagada());
}

// ---- Finger buttons --------------------------------------------------------------------

// A finger button lights (or puts out) every panel pressed by its finger; the keypad pages
// have no thumb button, so their buttons start at the index finger.
void TFDigitacao::alternarGrupo(int pagina, int grupo)
{
    if (Timer1->isActive()) return;  // locked while the student types
    PaginaTeclado& p = paginas_[pagina];
    const int dedo = pagina == 1 || pagina == 3 ? grupo + 1 : grupo;
    const QVector<QLabel*>& paineis = p.dedos[dedo];
    if (paineis.isEmpty()) return;
    const QColor cor = corDoDedo(dominio::Dedo(dedo));
    const QColor nova = paineis.first()->palette().color(QPalette::Window) == cor ? apagada() : cor;
    for (QLabel* painel : paineis) pintar(painel, nova);
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
