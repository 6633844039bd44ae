#pragma once
#include <QObject>

// The engine environment: Century (four-digit years in the short date format) and Deleted
// (records marked deleted are invisible). Both on in the data module.
class TApolloEnv : public QObject {
    Q_OBJECT
public:
    explicit TApolloEnv(QObject* parent = nullptr);
    void setCentury(bool on);
    bool century() const;
    void setDeleted(bool on);
    bool deleted() const;
    // The locale's short date format, widened to "yyyy" when Century is on.
    static QString shortDateFormat(bool century);

private:
    bool century_ = false;
};
