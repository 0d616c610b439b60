#pragma once

#include <QString>

// The pages a lookup grid asks for, named by the key code that asks for them.
enum class LookupPage {
    First = 36,       // Home, and opening
    Last = 35,        // End
    UpTo = 33,        // PgUp: the page ending at the anchor
    From = 34,        // PgDn: the page starting at the anchor
    OneUp = 38,       // Up: the page starting one row before the anchor
    FromSecond = 40,  // Down: the page starting at the anchor, the old page's second row
};

// Where the pages of a lookup come from: a command text for each page, anchor and pattern
// (the pattern is already a LIKE prefix), and the columns of the code and the name.
class LookupSource {
public:
    virtual ~LookupSource() = default;
    virtual QString pageCommand(LookupPage page, const QString& anchor,
                                const QString& pattern) const = 0;
    virtual QString codeColumn() const = 0;
    virtual QString nameColumn() const = 0;
};

// A table with a key and a name column, paged by SELECT TOP 10 statements; the columns come
// back as A and B.
class SqlLookupSource : public LookupSource {
public:
    SqlLookupSource(QString table, QString key, QString name)
        : m_table(std::move(table)), m_key(std::move(key)), m_name(std::move(name)) {}
    QString pageCommand(LookupPage page, const QString& anchor,
                        const QString& pattern) const override;
    QString codeColumn() const override { return QStringLiteral("a"); }
    QString nameColumn() const override { return QStringLiteral("b"); }

private:
    QString m_table, m_key, m_name;
};

// A lookup procedure of the suite, called as F mode,'anchor','pattern'.
class ProcedureLookupSource : public LookupSource {
public:
    ProcedureLookupSource(QString procedure, QString codeColumn, QString nameColumn)
        : m_procedure(std::move(procedure)), m_code(std::move(codeColumn)),
          m_name(std::move(nameColumn)) {}
    QString pageCommand(LookupPage page, const QString& anchor,
                        const QString& pattern) const override;
    QString codeColumn() const override { return m_code; }
    QString nameColumn() const override { return m_name; }

private:
    QString m_procedure, m_code, m_name;
};
