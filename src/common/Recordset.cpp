#include "Recordset.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "DbError.h"
#include "SqlLiteral.h"

namespace {
const ResultSet& emptySet() {
    static const ResultSet empty;
    return empty;
}

// A text without its trailing blanks, which the server's comparisons ignore.
QStringView withoutTrailingBlanks(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    return QStringView(text).first(n);
}

// Compares a field value with a criterion value as the server compares them: texts without
// regard to case or trailing blanks, numbers as numbers. Returns <0, 0, >0, or nullopt when
// they cannot compare.
std::optional<int> compareValues(const QVariant& field, const QVariant& wanted) {
    if (!field.isValid()) return std::nullopt;
    if (wanted.typeId() == QMetaType::QString) {
        const QString a = field.toString(), b = wanted.toString();
        const int c = withoutTrailingBlanks(a).compare(withoutTrailingBlanks(b), Qt::CaseInsensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    bool ok = false;
    const double f = field.toDouble(&ok);
    if (!ok) return std::nullopt;
    const double w = wanted.toDouble();
    return f < w ? -1 : (f > w ? 1 : 0);
}

bool likeMatches(const QString& value, QString pattern) {
    pattern.replace('*', '%');
    QString rx;
    for (const QChar c : pattern) {
        if (c == '%')
            rx += QStringLiteral(".*");
        else if (c == '_')
            rx += '.';
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QStringLiteral("\\A(?:%1)\\z").arg(rx),
                              QRegularExpression::CaseInsensitiveOption)
        .match(value)
        .hasMatch();
}
}  // namespace

Recordset::Recordset(ResultSets sets, QString tableName, EditSink sink, TableColumns tableColumns)
    : m_sets(std::move(sets)),
      m_table(std::move(tableName)),
      m_sink(std::move(sink)),
      m_tableColumns(std::move(tableColumns)) {}

bool Recordset::isTableColumn(int index) const {
    if (!m_tableColumns) return true;
    const QStringList columns = m_tableColumns();
    return columns.isEmpty() || columns.contains(fieldName(index), Qt::CaseInsensitive);
}

const ResultSet& Recordset::current() const {
    return m_set < m_sets.size() ? m_sets[m_set] : emptySet();
}

ResultSet& Recordset::currentMutable() {
    if (m_set >= m_sets.size()) throw std::out_of_range("no result set");
    return m_sets[m_set];
}

void Recordset::moveFirst() { m_pos = 0; }
void Recordset::moveLast() { m_pos = recordCount() - 1; }
void Recordset::moveNext() { m_pos = std::min(m_pos + 1, recordCount()); }
void Recordset::movePrevious() { m_pos = std::max(m_pos - 1, -1); }
void Recordset::setBookmark(int bookmark) { m_pos = std::clamp(bookmark, -1, recordCount()); }

bool Recordset::find(const QString& criterion) {
    static const QRegularExpression rx(
        QStringLiteral("^\\s*\\[?([^\\s\\]=<>]+)\\]?\\s*(=|<>|<=|>=|<|>|LIKE\\b)\\s*(.*?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = rx.match(criterion);
    if (!m.hasMatch()) return false;
    const int column = fieldIndex(m.captured(1));
    if (column < 0) return false;
    const QString op = m.captured(2).toUpper();
    QString literal = m.captured(3);
    QVariant wanted;
    if (literal.size() >= 2 && (literal.front() == '\'' || literal.front() == '#') &&
        literal.back() == literal.front())
        wanted =
            literal.mid(1, literal.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    else
        wanted = literal.toDouble();

    for (m_pos = std::max(m_pos, 0); m_pos < recordCount(); ++m_pos) {
        const QVariant value = current().rows[m_pos].value(column);
        if (op == QLatin1String("LIKE")) {
            if (value.isValid() && likeMatches(value.toString(), wanted.toString())) return true;
            continue;
        }
        const auto c = compareValues(value, wanted);
        if (!c) continue;
        if ((op == "=" && *c == 0) || (op == "<>" && *c != 0) || (op == "<" && *c < 0) ||
            (op == ">" && *c > 0) || (op == "<=" && *c <= 0) || (op == ">=" && *c >= 0))
            return true;
    }
    return false;
}

bool Recordset::nextRecordset() {
    if (m_set + 1 >= m_sets.size()) {
        m_set = int(m_sets.size());
        m_pos = 0;
        return false;
    }
    ++m_set;
    m_pos = 0;
    return true;
}

QVariant Recordset::field(int index) const {
    if (bof() || eof()) throw std::out_of_range("no current row");
    if (index < 0 || index >= fieldCount()) throw std::out_of_range("no such field");
    if (editing() && index < m_editRow.size()) return m_editRow[index];
    return current().rows[m_pos].value(index);
}

QVariant Recordset::field(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0) throw std::out_of_range(("no field " + name).toStdString());
    if (m_editMode == EditMode::Add) return m_editRow.value(index);
    return field(index);
}

void Recordset::addNew() {
    m_editMode = EditMode::Add;
    m_editRow = QVariantList(fieldCount());
    m_changed = QList<bool>(fieldCount(), false);
}

void Recordset::setField(const QString& name, const QVariant& value) {
    const int index = fieldIndex(name);
    if (index < 0) throw std::out_of_range(("no field " + name).toStdString());
    if (m_editMode == EditMode::None) {
        if (bof() || eof()) throw std::out_of_range("no current row");
        m_editMode = EditMode::Edit;
        m_editRow = current().rows[m_pos];
        m_changed = QList<bool>(fieldCount(), false);
    }
    m_editRow[index] = value;
    m_changed[index] = true;
}

QString Recordset::whereCurrentRow() const {
    QStringList terms;
    const ResultRows::Row row = current().rows[m_pos];
    // Columns without a value are left out: a row added here has them filled with the
    // table's defaults by the database.
    for (int i = 0; i < fieldCount(); ++i)
        if (row.value(i).isValid() && isTableColumn(i))
            terms << fieldName(i) + " = " + SqlLiteral(row.value(i));
    return terms.isEmpty() ? QStringLiteral("1 = 0") : terms.join(QStringLiteral(" AND "));
}

void Recordset::update() {
    if (m_editMode == EditMode::None) return;
    if (m_table.isEmpty() || !m_sink)
        throw DbError(DbErrorNumber::Syntax, QStringLiteral("此資料來源不能更新。"));
    QStringList names, values, assignments;
    for (int i = 0; i < fieldCount(); ++i) {
        if (!m_changed[i] || !isTableColumn(i)) continue;
        names << fieldName(i);
        values << SqlLiteral(m_editRow[i]);
        assignments << fieldName(i) + " = " + SqlLiteral(m_editRow[i]);
    }
    if (m_editMode == EditMode::Add) {
        if (!names.isEmpty())
            m_sink(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(m_table, names.join(", "), values.join(", ")));
        currentMutable().rows << m_editRow;
        m_pos = recordCount() - 1;
    } else if (!assignments.isEmpty()) {
        m_sink(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                   .arg(m_table, assignments.join(", "), whereCurrentRow()));
        currentMutable().rows.replace(m_pos, m_editRow);
    }
    cancelUpdate();
}

void Recordset::cancelUpdate() {
    m_editMode = EditMode::None;
    m_editRow.clear();
    m_changed.clear();
}

void Recordset::deleteCurrent() {
    if (bof() || eof()) throw std::out_of_range("no current row");
    if (m_table.isEmpty() || !m_sink)
        throw DbError(DbErrorNumber::Syntax, QStringLiteral("此資料來源不能更新。"));
    m_sink(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, whereCurrentRow()));
    currentMutable().rows.removeAt(m_pos);
    cancelUpdate();
}
