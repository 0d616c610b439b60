#pragma once

#include <QString>
#include <QVariant>
#include <functional>

#include "ResultSet.h"

// A cursor over the result sets of one command, in the manner of the suite's client: begin and
// end of file, moves, row count, bookmarks, find, next result set, fields by name or position,
// and edits. Edits do not touch the rows directly: they are handed to the owner as statement
// texts (see DataSource), and the row is changed here only when the statement succeeded.
class Recordset {
public:
    // Runs one statement text of an edit; throws DbError on failure.
    using EditSink = std::function<void(const QString& statement)>;
    // The columns of the edited table itself (computed columns of the query are not written).
    using TableColumns = std::function<QStringList()>;

    Recordset() = default;
    explicit Recordset(ResultSets sets, QString tableName = {}, EditSink sink = {},
                       TableColumns tableColumns = {});

    bool bof() const { return m_pos < 0 || current().rows.isEmpty(); }
    bool eof() const { return m_pos >= current().rows.size(); }
    int recordCount() const { return int(current().rows.size()); }
    int absolutePosition() const { return m_pos + 1; }  // 1-based, as the client counts

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // A bookmark is the row's position; setting it moves there.
    int bookmark() const { return m_pos; }
    void setBookmark(int bookmark);

    // Searches forward from the current row for "column op value" (op one of = <> < > <= >=
    // LIKE, the value a number or a quoted text). Leaves the cursor on the match, or at the end.
    bool find(const QString& criterion);

    // Moves to the next result set of the batch; false when there is none.
    bool nextRecordset();
    int resultSetIndex() const { return m_set; }

    int fieldCount() const { return int(current().columns.size()); }
    QString fieldName(int index) const { return current().columns.value(index); }
    int fieldIndex(const QString& name) const { return current().columnIndex(name); }
    // The value of the current row; throws std::out_of_range for an unknown field or no row.
    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    const ResultSet& current() const;
    // A result set of the batch by its position; empty when there is none.
    ResultSet resultSet(int index) const { return m_sets.value(index); }

    // Edits of a one-table recordset, written through as INSERT, UPDATE and DELETE.
    void addNew();
    void setField(const QString& name, const QVariant& value);
    void update();
    void cancelUpdate();
    void deleteCurrent();
    bool editing() const { return m_editMode != EditMode::None; }

private:
    enum class EditMode { None, Edit, Add };
    ResultSet& currentMutable();
    QString whereCurrentRow() const;
    bool isTableColumn(int index) const;

    ResultSets m_sets;
    int m_set = 0;
    int m_pos = 0;
    QString m_table;
    EditSink m_sink;
    TableColumns m_tableColumns;
    EditMode m_editMode = EditMode::None;
    QVariantList m_editRow;
    QList<bool> m_changed;
};
