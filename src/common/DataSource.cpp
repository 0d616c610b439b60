#include "DataSource.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include "DbError.h"
#include "SuiteDatabase.h"
#include "Trace.h"

namespace {
// The text with every parenthesised part and every quoted text blanked out, so that only the
// statement's own top level remains.
QString topLevel(const QString& text) {
    QString out = text;
    int depth = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (quoted) {
            if (c == '\'') quoted = false;
            out[i] = ' ';
        } else if (c == '\'') {
            quoted = true;
            out[i] = ' ';
        } else if (c == '(') {
            ++depth;
            out[i] = ' ';
        } else if (c == ')') {
            depth = std::max(0, depth - 1);
            out[i] = ' ';
        } else if (depth > 0) {
            out[i] = ' ';
        }
    }
    return out;
}

// The table of a one-table SELECT, which is the only kind of source whose rows can be edited.
QString editableTable(const QString& commandText) {
    static const QRegularExpression rx(
        QStringLiteral(
            "^\\s*SELECT\\b.*?\\bFROM\\s+([A-Za-z_][\\w.]*)\\s*((?:WHERE|ORDER\\s+BY)\\b.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = rx.match(topLevel(commandText));
    // A join or a second table after the first one does not match.
    return m.hasMatch() ? m.captured(1) : QString();
}
}  // namespace

ResultSets DataSource::run(const QString& text, const QString& place) {
    if (text.trimmed().isEmpty())
        throw DbError(DbErrorNumber::EmptyCommand, QStringLiteral("命令文字沒有指定內容。"));
    auto db = Connections::open(connectionText);
    QElapsedTimer timer;
    timer.start();
    try {
        ResultSets sets = db->execute(text);
        Trace::sql(place, text, timer.elapsed());
        return sets;
    } catch (const DbError&) {
        Trace::sql(place, text, timer.elapsed());
        throw;
    }
}

void DataSource::refresh(const QString& place) {
    ResultSets sets = run(commandText, place);
    const QString table = editableTable(commandText);
    m_recordset = std::make_unique<Recordset>(
        std::move(sets), table, [this, place](const QString& statement) { run(statement, place); },
        [this, table, place] { return tableColumns(table, place); });
}

// Asked of the database once per table, at the first edit.
QStringList DataSource::tableColumns(const QString& table, const QString& place) {
    if (m_columnsTable != table) {
        const ResultSets sets =
            run(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table), place);
        m_columns = sets.isEmpty() ? QStringList() : sets.first().columns;
        m_columnsTable = table;
    }
    return m_columns;
}

Recordset& DataSource::recordset() {
    if (!m_recordset) m_recordset = std::make_unique<Recordset>();
    return *m_recordset;
}

void DataSource::dropRows() {
    m_recordset =
        std::make_unique<Recordset>(ResultSets{ResultSet{recordset().current().columns, {}}});
}

const Recordset& DataSource::recordset() const {
    static const Recordset empty;
    return m_recordset ? *m_recordset : empty;
}
