#include "MundoPratica.h"

#include "data/Data1.h"
#include "platform/Diretorios.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "ui/TLabel3D.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <vector>

namespace {

using xbase::FieldDef;
using xbase::FieldType;

std::string u8(const QString& s) { return s.toUtf8().toStdString(); }

struct Linha {
    QString letra;
    int pos;
    int shifde;
    bool prox;
    QString proxl;
};

// A keyboard map described as its source lists it: the keys (unshifted, shifted), the keys of
// the left hand (their shifted characters use the right Shift), the dead keys and the
// letters each accent makes.
struct Mapa {
    int enter, espaco;
    std::vector<std::pair<int, QString>> teclas;  // key number, "aA" (one or two characters)
    std::vector<int> esquerda;
    QString mortas;                               // dead-key characters
    std::vector<std::pair<QChar, QString>> acentos;  // accent, "aáeé..."
};

std::vector<Linha> linhas(const Mapa& m)
{
    std::vector<Linha> r;
    auto lado = [&](int pos) {
        for (int e : m.esquerda) if (e == pos) return 1;
        return 2;
    };
    r.push_back({QStringLiteral("aa"), m.enter, 0, false, QString()});
    r.push_back({QStringLiteral(" "), m.espaco, 0, false, QString()});
    auto posDe = [&](QChar c, int& pos, int& shif) {
        for (const auto& [p, cs] : m.teclas) {
            if (cs[0] == c) { pos = p; shif = 0; return true; }
            if (cs.size() > 1 && cs[1] == c) { pos = p; shif = lado(p); return true; }
        }
        return false;
    };
    for (const auto& [p, cs] : m.teclas) {
        if (m.mortas.contains(cs[0])) r.push_back({cs.left(1), p, 0, true, QStringLiteral(" ")});
        else r.push_back({cs.left(1), p, 0, false, QString()});
        if (cs.size() > 1) {
            if (m.mortas.contains(cs[1])) r.push_back({cs.mid(1, 1), p, lado(p), true, QStringLiteral(" ")});
            else r.push_back({cs.mid(1, 1), p, lado(p), false, QString()});
        }
    }
    for (const auto& [acento, pares] : m.acentos) {
        int pos = 0, shif = 0;
        if (!posDe(acento, pos, shif)) continue;
        for (int i = 0; i + 1 < pares.size(); i += 2)
            r.push_back({pares.mid(i + 1, 1), pos, shif, true, pares.mid(i, 1)});
    }
    return r;
}

Mapa mapaComum(bool abnt2)
{
    Mapa m;
    const char* fila1 = abnt2 ? "'\"" : "`~";
    m.teclas = {{1, QString::fromUtf8(fila1)}, {2, "1!"}, {3, "2@"}, {4, "3#"}, {5, "4$"}, {6, "5%"},
                {7, abnt2 ? QString::fromUtf8("6¨") : QStringLiteral("6^")}, {8, "7&"}, {9, "8*"},
                {10, "9("}, {11, "0)"}, {12, "-_"}, {13, "=+"}};
    const char* cima = "qwertyuiop";
    for (int i = 0; i < 10; ++i) m.teclas.push_back({14 + i, QString(QChar(cima[i])) + QChar(cima[i]).toUpper()});
    const char* meio = "asdfghjkl";
    for (int i = 0; i < 9; ++i) m.teclas.push_back({26 + i, QString(QChar(meio[i])) + QChar(meio[i]).toUpper()});
    return m;
}

Mapa mapaA()
{
    Mapa m = mapaComum(false);
    m.enter = 48;
    m.espaco = 47;
    m.teclas.insert(m.teclas.end(), {{24, "[{"}, {25, "]}"}, {35, ";:"}, {36, "'\""}, {37, "zZ"},
                                     {38, "xX"}, {39, "cC"}, {40, "vV"}, {41, "bB"}, {42, "nN"},
                                     {43, "mM"}, {44, ",<"}, {45, ".>"}, {46, "/?"}});
    m.esquerda = {1, 2, 3, 4, 5, 6, 14, 15, 16, 17, 18, 26, 27, 28, 29, 30, 37, 38, 39, 40, 41};
    m.mortas = QStringLiteral("'\"`~^");
    m.acentos = {{'\'', QString::fromUtf8("aáeéiíoóuúAÁEÉIÍOÓUÚcçCÇ")},
                 {'`', QString::fromUtf8("aàeèAÀ")},
                 {'~', QString::fromUtf8("aãoõnñAÃOÕ")},
                 {'^', QString::fromUtf8("aâeêoôAÂEÊ")},
                 {'"', QString::fromUtf8("uüUÜ")}};
    return m;
}

Mapa mapaB()
{
    Mapa m = mapaComum(true);
    m.enter = 51;
    m.espaco = 50;
    m.teclas.insert(m.teclas.end(), {{24, QString::fromUtf8("´`")}, {25, "[{"}, {35, QString::fromUtf8("çÇ")},
                                     {36, "~^"}, {37, "]}"}, {38, "\\|"}, {39, "zZ"}, {40, "xX"},
                                     {41, "cC"}, {42, "vV"}, {43, "bB"}, {44, "nN"}, {45, "mM"},
                                     {46, ",<"}, {47, ".>"}, {48, ";:"}, {49, "/?"}});
    m.esquerda = {1, 2, 3, 4, 5, 6, 14, 15, 16, 17, 18, 26, 27, 28, 29, 30, 38, 39, 40, 41, 42, 43};
    m.mortas = QString::fromUtf8("´`~^¨");
    m.acentos = {{QChar(0xB4), QString::fromUtf8("aáeéiíoóuúAÁEÉIÍOÓUÚ")},
                 {'`', QString::fromUtf8("aàeèAÀ")},
                 {'~', QString::fromUtf8("aãoõnñAÃOÕ")},
                 {'^', QString::fromUtf8("aâeêoôAÂEÊ")},
                 {QChar(0xA8), QString::fromUtf8("uüUÜ")}};
    return m;
}

std::vector<Linha> linhasNumericas()
{
    std::vector<Linha> r = {{"aa", 16, 0, false, {}}, {"*", 1, 0, false, {}}, {"+", 2, 0, false, {}},
                            {",", 3, 0, false, {}},   {".", 3, 0, false, {}}, {"-", 4, 0, false, {}},
                            {"/", 5, 0, false, {}},   {"0", 6, 0, false, {}}};
    for (int d = 1; d <= 9; ++d) r.push_back({QString::number(d), 6 + d, 0, false, {}});
    return r;
}

void gravarTeclado(const QString& dir, const char* nome, const std::vector<Linha>& linhas)
{
    xbase::Table::create(u8(dir), nome,
                         {FieldDef{"LETRA", FieldType::Character, 2}, FieldDef{"POS", FieldType::Numeric, 2},
                          FieldDef{"SHIFDE", FieldType::Numeric, 1}, FieldDef{"PROX", FieldType::Logical, 1},
                          FieldDef{"PROXL", FieldType::Character, 2}},
                         {xbase::TagDef{"LETRA", "LETRA"}});
    xbase::Table t;
    t.open(u8(dir), nome);
    for (const Linha& l : linhas) {
        t.insert();
        t.setString("LETRA", u8(l.letra));
        t.setInteger("POS", l.pos);
        t.setInteger("SHIFDE", l.shifde);
        t.setBoolean("PROX", l.prox);
        t.setString("PROXL", u8(l.proxl));
        t.post();
    }
    t.close();
}

void criarLicoes(const QString& dir, const char* nome)
{
    xbase::Table::create(u8(dir), nome,
                         {FieldDef{"TIPO", FieldType::Character, 8}, FieldDef{"LICAO", FieldType::Numeric, 3},
                          FieldDef{"TEXTO", FieldType::Memo, 10}},
                         {xbase::TagDef{"TIPO", "TIPO+STR(LICAO,3)"}});
}

// A keypad picture like the shipped one: the keys drawn on grey.
void criarFigura(const QString& arquivo)
{
    QImage img(329, 161, QImage::Format_RGB32);
    img.fill(QColor(224, 224, 224));
    QPainter p(&img);
    p.setPen(Qt::black);
    const char* legendas[5][4] = {{"Num", "/", "*", "-"}, {"7", "8", "9", "+"}, {"4", "5", "6", ""},
                                  {"1", "2", "3", "Ent"}, {"0", "", ".", ""}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QRect k(90 + c * 38, 4 + r * 31, 34, 28);
            p.fillRect(k, Qt::white);
            p.drawRect(k);
            p.drawText(k, Qt::AlignCenter, QString::fromLatin1(legendas[r][c]));
        }
    p.end();
    img.save(arquivo, "BMP");
}

} // namespace

MundoPratica::MundoPratica()
{
    const QString d = dir_.path();
    xbase::Table::create(u8(d), "Usuario.dbf",
                         {FieldDef{"NOME", FieldType::Character, 20}, FieldDef{"TIPO", FieldType::Character, 15},
                          FieldDef{"LICAO", FieldType::Numeric, 3}, FieldDef{"TECLADO", FieldType::Logical, 1},
                          FieldDef{"NIVEL", FieldType::Character, 15}});
    xbase::Table::create(u8(d), "Exigen.dbf",
                         {FieldDef{"TIPO", FieldType::Character, 15}, FieldDef{"NIVEL", FieldType::Character, 15},
                          FieldDef{"VELOCIDADE", FieldType::Numeric, 4}, FieldDef{"PRECISAO", FieldType::Numeric, 3}});
    {
        xbase::Table t;
        t.open(u8(d), "Exigen.dbf");
        int vel = 60;
        for (const char* tipo : {"Básico", "Avançado", "Textos", "Numérico"})
            for (const char* nivel : {"Iniciante", "Básico", "Intermediário", "Avançado", "Profissional"}) {
                t.insert();
                t.setString("TIPO", tipo);
                t.setString("NIVEL", nivel);
                t.setInteger("VELOCIDADE", vel);
                t.setInteger("PRECISAO", 90);
                t.post();
                vel += 10;
            }
        t.close();
    }
    criarLicoes(d, "LicaoA.dbf");
    criarLicoes(d, "LicaoB.dbf");
    xbase::Table::create(u8(d), "Relat.dbf",
                         {FieldDef{"NOME", FieldType::Character, 20}, FieldDef{"TIPO", FieldType::Character, 8},
                          FieldDef{"LICAO", FieldType::Numeric, 3}, FieldDef{"VELOCIDADE", FieldType::Numeric, 5},
                          FieldDef{"PRECISAO", FieldType::Numeric, 3}, FieldDef{"RESULTADO", FieldType::Character, 9}});
    xbase::Table::create(u8(d), "Recorde.dbf",
                         {FieldDef{"TIPO", FieldType::Character, 8}, FieldDef{"NOME", FieldType::Character, 20},
                          FieldDef{"PONTUACAO", FieldType::Numeric, 10}, FieldDef{"VELOCIDADE", FieldType::Numeric, 5},
                          FieldDef{"PRECISAO", FieldType::Numeric, 3}, FieldDef{"LICAO", FieldType::Numeric, 3},
                          FieldDef{"DATA", FieldType::Date, 8}});
    {
        xbase::Table t;
        t.open(u8(d), "Recorde.dbf");
        for (const char* tipo : {"Básico", "Avançado", "Textos", "Numérico"}) {
            t.insert();
            t.setString("TIPO", tipo);
            t.setString("NOME", "LIA");
            t.setInteger("PONTUACAO", 5000);
            t.post();
        }
    }

    QDir(d).mkdir(QStringLiteral("Dados"));
    const QString dados = d + QStringLiteral("/Dados");
    gravarTeclado(dados, "TecladoA.dbf", linhas(mapaA()));
    gravarTeclado(dados, "TecladoB.dbf", linhas(mapaB()));
    gravarTeclado(dados, "TecladoN.dbf", linhasNumericas());
    criarFigura(d + QStringLiteral("/Tnumero.bmp"));

    plataforma::definirDiretorioTrabalho(d);
    dm = new Tdm1;
    dm1 = dm;
    dm->ProgramDir = d;
    dm->SoundOn = false;
    dm->TabAluno->setDatabaseName(d);
    dm->TabAluno->open();
    dm->TabExig->setDatabaseName(d);
    dm->TabExig->open();
    for (TApTable* t : {dm->TabRelat, dm->TabRec}) {
        t->setDatabaseName(d);
        t->open();
    }
    fecharJanelasDoFim();
}

void MundoPratica::recorde(int registro, long long pontos)
{
    TApTable* t = dm->TabRec;
    t->go(registro);
    t->edit();
    t->fieldByName(QStringLiteral("Pontuacao")).setAsInteger(pontos);
    t->post();
}

// The end of a lesson shows its windows modally; the world notes what they show and closes them.
void MundoPratica::fecharJanelasDoFim()
{
    fechador_ = new QTimer;
    fechador_->setInterval(5);
    QObject::connect(fechador_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* r = qobject_cast<TfResultado*>(modal)) {
            const QString marcas = QString(r->Iv2->isVisibleTo(r) ? 'V' : 'v') + (r->Ip2->isVisibleTo(r) ? 'P' : 'p')
                                   + (r->Ir2->isVisibleTo(r) ? 'R' : 'r');
            janelas << QStringList{QStringLiteral("Resultado"), r->Label1->text(), r->Label2->text(),
                                   r->Label3->text(), r->Label4->text(), r->Label5->text(), marcas}
                           .join(QLatin1Char('|'));
            r->close();
        } else if (auto* n = qobject_cast<TfRecordes*>(modal)) {
            janelas << QStringLiteral("Recordes|") + n->Label2->text();
            n->close();
        }
    });
    fechador_->start();
}

MundoPratica::~MundoPratica()
{
    delete fechador_;
    delete dm;
    dm1 = nullptr;
}

void MundoPratica::aluno(const QString& nome, const QString& tipo, int licao, bool teclado, const QString& nivel)
{
    TApTable* t = dm->TabAluno;
    t->insert();
    t->fieldByName(QStringLiteral("Nome")).setAsString(nome);
    t->fieldByName(QStringLiteral("Tipo")).setAsString(tipo);
    t->fieldByName(QStringLiteral("Licao")).setAsInteger(licao);
    t->fieldByName(QStringLiteral("Teclado")).setAsBoolean(teclado);
    t->fieldByName(QStringLiteral("Nivel")).setAsString(nivel);
    t->post();
}

void MundoPratica::licao(bool abnt2, const QString& tipo, int numero, const QString& texto)
{
    xbase::Table t;
    t.open(u8(dir_.path()), abnt2 ? "LicaoB.dbf" : "LicaoA.dbf");
    t.insert();
    t.setString("TIPO", u8(tipo));
    t.setInteger("LICAO", numero);
    t.setString("TEXTO", u8(texto));
    t.post();
    t.close();
}

void MundoPratica::licao(const QString& tipo, int numero, const QString& texto)
{
    licao(false, tipo, numero, texto);
    licao(true, tipo, numero, texto);
}
