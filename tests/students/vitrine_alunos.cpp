// Shows one student window filled with sample students, for looking at it under X:
//   vitrine_alunos cadastro|novo|abrir|lista|selec|turma|importar [arquivo.png]
// With a file name the window is also saved as a picture after it was drawn.
#include "AmbienteAlunos.h"
#include "students/AbrirNome.h"
#include "students/Cadastro.h"
#include "students/ImportarLista.h"
#include "students/Selec.h"
#include "students/Turma.h"
#include "ui/TDBLookupComboBox.h"
#include "ui/TSpinEdit.h"
#include "ui/TStatusBar.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString qual = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("cadastro");
    const QString arquivo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    AmbienteAlunos amb;
    amb.aluno(QStringLiteral("JOÃO DA SILVA"), QStringLiteral("Avançado"), 12);
    amb.aluno(QStringLiteral("MARIA CONCEIÇÃO"), QStringLiteral("Textos"), 3);
    amb.aluno(QStringLiteral("PEDRO ÁLVARES"));
    amb.dm->TabAluno->first();

    std::unique_ptr<QDialog> janela;
    if (qual == QLatin1String("abrir") || qual == QLatin1String("lista")) {
        auto* d = new TFAbrir;
        d->dl1->setKeyValue(QStringLiteral("MARIA CONCEIÇÃO"));
        janela.reset(d);
    } else if (qual == QLatin1String("selec")) {
        auto* d = new TFSelec;
        d->se1->setMaxValue(12);
        d->se1->setValue(12);
        d->sb2->setTextoPainel(0, QStringLiteral("Lição permitada até: 12"));
        d->sb2->setTextoPainel(1, QStringLiteral("Total de lições: 40"));
        janela.reset(d);
    } else if (qual == QLatin1String("turma")) {
        // A few results with failures in a row, so every column has something to show.
        TApTable* r = amb.dm->TabRelat;
        const struct { const char* nome; const char* tipo; int licao, vel, prec; bool passou; } linhas[] = {
            {"JOÃO DA SILVA", "Avançado", 11, 182, 94, true}, {"JOÃO DA SILVA", "Avançado", 12, 171, 88, false},
            {"JOÃO DA SILVA", "Avançado", 12, 176, 89, false}, {"JOÃO DA SILVA", "Avançado", 12, 169, 90, false},
            {"MARIA CONCEIÇÃO", "Textos", 2, 231, 97, true}, {"MARIA CONCEIÇÃO", "Textos", 3, 240, 96, true},
            {"PEDRO ÁLVARES", "Básico", 1, 64, 86, false}};
        for (const auto& l : linhas) {
            r->insert();
            r->fieldByName("Nome").setAsString(QString::fromUtf8(l.nome));
            r->fieldByName("Tipo").setAsString(QString::fromUtf8(l.tipo));
            r->fieldByName("Licao").setAsInteger(l.licao);
            r->fieldByName("Velocidade").setAsInteger(l.vel);
            r->fieldByName("Precisao").setAsInteger(l.prec);
            r->fieldByName("Resultado").setAsString(l.passou ? QStringLiteral("Aprovado") : QStringLiteral("Reprovado"));
            r->post();
        }
        auto* turma = new TfTurma;
        turma->Grade->sortByColumn(6, Qt::DescendingOrder);  // the arrow on the widest title
        turma->Grade->selectRow(1);
        janela.reset(turma);
    } else {
        auto* d = new TfCadastro;
        if (qual == QLatin1String("novo")) d->DBNavigator1->clicar(TDBNavigator::Botao::Insert);
        janela.reset(d);
    }
    janela->show();
    if (qual == QLatin1String("lista"))
        QTimer::singleShot(300, [&] { static_cast<TFAbrir*>(janela.get())->dl1->showPopup(); });
    // The summary of a class list whose every name was registered, one of its lines with commas.
    QTemporaryDir listas;
    if (qual == QLatin1String("importar"))
        QTimer::singleShot(300, [&] {
            QFile f(listas.filePath(QStringLiteral("turma.csv")));
            f.open(QIODevice::WriteOnly);
            f.write("Nome;Tipo;N\xC3\xADvel\nAna Lima;B\xC3\xA1sico;Iniciante\nBia Rocha,Num\xC3\xA9rico,Iniciante\n");
            f.close();
            mostrarResumo(janela.get(), importarLista(f.fileName()));
        });
    if (!arquivo.isEmpty()) {
        QTimer::singleShot(1500, [&] {
            janela->grab().save(arquivo);
            app.quit();
        });
    }
    return app.exec();
}
