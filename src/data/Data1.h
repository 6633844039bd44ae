#pragma once
#include "TApTable.h"
#include "TApolloEnv.h"

#include <QObject>
#include <QString>
#include <array>

// The data module: the shared tables, the settings every window reads, and the rules on
// student records. One instance, dm1, created at start-up right after the main menu.
// It shows no window: a rule that refuses a write throws its refusal (xbase::Error, kind
// Invalid, the text for the user) out of the post, and the window that asked shows it.
class Tdm1 : public QObject {
    Q_OBJECT
public:
    explicit Tdm1(QObject* parent = nullptr);
    ~Tdm1() override;

    TApTable* TabLicao;
    TApTable* TabAluno;
    TApTable* TabRec;
    TApTable* TabExig;
    TApTable* TabConfig;
    TApTable* TabRelat;
    TApolloEnv* ApolloEnv1;

    bool SoundOn = false;
    bool MusicOn = false;
    bool Abnt2Keyboard = false;
    QString ProgramDir;

    // Names of the existing students, slots 1 to 31 (index 0 unused), filled before a new
    // student is started. The names are checked against the file itself, inside the post.
    static constexpr int kMaxAlunos = 31;
    std::array<QString, kMaxAlunos + 1> NameCache;

    // A rename the start found cut short (a crash after the student's row was written, before
    // every result carried the new name) is finished; one whose student row never changed is
    // dropped. Called once the tables are open.
    void retomarRenomeacao();

    void TabAlunoBeforeInsert(TApTable& table);
    void TabAlunoNewRecord(TApTable& table);
    bool TabAlunoBeforePost(TApTable& table);
    // Inside the post, where no other computer can post: a new name, or a student's new name,
    // that another student has on disk is refused ("Este nome<...> já existe!").
    void TabAlunoBeforeWrite(TApTable& table);

private:
    void dm1Create();
    void TabAlunoAfterPost();
    void renomearNasTabelas(const QString& antigo, const QString& novo);
    QString arquivoRenomeacao() const;

    // The rename under way: written to a file (old and new name) before the student's row is
    // posted, so that the start can finish it; the results and the record follow the row.
    QString nomeAntigo_, nomeNovo_;
    QString nomeAVerificar_;  // the name no other student may hold, empty when none is checked
};

// The one data module of the program (null until created).
extern Tdm1* dm1;
