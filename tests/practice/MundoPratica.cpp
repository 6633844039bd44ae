#include "MundoPratica.h"

#include <QApplication>
#include <QKeyEvent>

#include "data/Data1.h"
#include "domain/Esquema.h"
#include "platform/Diretorios.h"
#include "results/Recordes.h"
#include "results/Resultado.h"
#include "ui/TLabel3D.h"
#include "xbase/Error.h"
#include "xbase/Table.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace {

std::string u8(const QString& s) { return s.toUtf8().toStdString(); }

// The shipped keyboard maps, built from their descriptions: the tests type on what users have.
void copiarTeclados(const QString& destino)
{
    const QString origem = QStringLiteral(TARVEX_DATA_DIR "/Dados/");
    for (const char* nome : {"TecladoA", "TecladoB", "TecladoN"})
        for (const char* ext : {".dbf", ".cdx"}) {
            const QString arquivo = QString::fromLatin1(nome) + QString::fromLatin1(ext);
            if (!QFile::copy(origem + arquivo, destino + QLatin1Char('/') + arquivo))
                qFatal("MundoPratica: falta %s em %s", qPrintable(arquivo), qPrintable(origem));
        }
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
    for (const dominio::EsquemaTabela* e : {&dominio::esquemaUsuario(), &dominio::esquemaExigen(),
                                            &dominio::esquemaRelat(), &dominio::esquemaRecorde()})
        dominio::criarTabela(u8(d), *e);
    dominio::criarTabela(u8(d), dominio::esquemaLicao(), "LicaoA.dbf");
    dominio::criarTabela(u8(d), dominio::esquemaLicao(), "LicaoB.dbf");
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
    copiarTeclados(d + QStringLiteral("/Dados"));
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

QString MundoPratica::noDisco() const
{
    const std::string d = pasta().toStdString();
    const auto linhas = [&d](const char* arquivo) {
        if (!QFile::exists(QDir(QString::fromStdString(d)).filePath(QLatin1String(arquivo)))) return QStringLiteral("0");
        try {
            xbase::Table t;
            t.open(d, arquivo, true);
            return QString::number(t.count());
        } catch (const xbase::Error&) {
            return QStringLiteral("danificada");  // some tests damage a table on purpose
        }
    };
    QString recorde = QStringLiteral("danificada");
    try {
        xbase::Table recordes;
        recordes.open(d, "Recorde.dbf", true);
        recordes.goTo(1);
        recorde = QString::number(recordes.asInteger("PONTUACAO"));
    } catch (const xbase::Error&) {
    }
    return QStringLiteral("Relat:%1|Recorde:%2|Teclas:%3").arg(linhas("Relat.dbf"), recorde, linhas("Teclas.dbf"));
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
            if (anotarDisco) noDiscoAoVerResultado << noDisco();
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

void digitar(QWidget* campo, const QString& texto)
{
    for (QChar c : texto) {
        const int key = c == QLatin1Char('\r') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        const Qt::KeyboardModifiers shift = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, shift, QString(c));
        QApplication::sendEvent(campo, &press);
        QKeyEvent release(QEvent::KeyRelease, key, shift, QString(c));
        QApplication::sendEvent(campo, &release);
    }
}
