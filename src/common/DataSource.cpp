#include "DataSource.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include "DbError.h"
#include "SuiteDatabase.h"
#include "Trace.h"

namespace {
// The table of a one-table SELECT, which is the only kind of source whose rows can be edited.
QString editableTable(const QString& commandText) {
    static const QRegularExpression rx(
        QStringLiteral("^\\s*SELECT\\b.*?\\bFROM\\s+([A-Za-z_][\\w.]*)\\s*(?:WHERE\\b.*|ORDER\\s+BY\\b.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = rx.match(commandText);
    if (!m.hasMatch()) return {};
    const QString rest = commandText.mid(m.capturedEnd(1));
    if (rest.contains(QRegularExpression(QStringLiteral("\\bJOIN\\b|^\\s*,"),
                                         QRegularExpression::CaseInsensitiveOption)))
        return {};
    return m.captured(1);
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
    m_recordset = std::make_unique<Recordset>(
        std::move(sets), editableTable(commandText),
        [this, place](const QString& statement) { run(statement, place); });
}

Recordset& DataSource::recordset() {
    if (!m_recordset) m_recordset = std::make_unique<Recordset>();
    return *m_recordset;
}

const Recordset& DataSource::recordset() const {
    static const Recordset empty;
    return m_recordset ? *m_recordset : empty;
}
