#include "ListProcedure.h"

#include "DbAccess.h"
#include "Recordset.h"
#include "Session.h"
#include "SqlLiteral.h"

ListProcedure::ListProcedure(QString grid, QString place)
    : m_grid(std::move(grid)), m_place(std::move(place)) {
    SetConnection(m_rows);
}

QString ListProcedure::listFlag(const Session& s) {
    if (!s.hasRight(57)) return QStringLiteral("False");
    return s.hasRight(926) ? QStringLiteral("True2") : QStringLiteral("True");
}

QString ListProcedure::historyFlag(const Session& s) {
    return s.hasRight(367) ? QStringLiteral("True") : QStringLiteral("False");
}

int ListProcedure::keyNumber(int qtKey) {
    switch (qtKey) {
        case Qt::Key_PageUp:
            return PageUp;
        case Qt::Key_PageDown:
            return PageDown;
        case Qt::Key_End:
            return End;
        case Qt::Key_Home:
            return Home;
        case Qt::Key_Up:
            return UpAtTop;
        case Qt::Key_Down:
            return DownAtBottom;
        default:
            return 0;
    }
}

bool ListProcedure::endsAtLastRow(int keyNumber) {
    return keyNumber == PageDown || keyNumber == End || keyNumber == DownAtBottom;
}

QString ListProcedure::call(int keyNumber, const QString& code, const QString& argument7,
                            bool quotedOptions) const {
    auto option = [quotedOptions](int value) {
        return quotedOptions ? SqlLiteral(QString::number(value)) : SqlLiteral(QVariant(value));
    };
    const QChar comma = u',';
    return QStringLiteral("EXEC SP_F8 ") + SqlLiteral(m_grid) + comma + SqlLiteral(flag) + comma +
           SqlLiteral(QVariant(keyNumber)) + comma + SqlLiteral(listWarehouse) + comma +
           SqlLiteral(warehouseFilter) + comma + SqlLiteral(code) + comma + SqlLiteral(argument7) +
           comma + option(zeroHidden) + comma + option(stoppedShown) + comma +
           SqlLiteral(passThrough10);
}

void ListProcedure::read(int keyNumber, const QString& code, const QString& argument7,
                         bool quotedOptions) {
    m_rows.commandText = call(keyNumber, code, argument7, quotedOptions);
    RefreshData(m_rows, m_place);
    Recordset& rs = m_rows.recordset();
    if (HasCurrentRow(rs) && rs.fieldCount() >= 2) {
        listWarehouse = rs.field(0).toString();
        m_caption = rs.field(1).toString();
    }
    rs.nextRecordset();
}

int ListProcedure::rowCount() const {
    const Recordset& rs = m_rows.recordset();
    return rs.resultSetIndex() == 1 ? rs.recordCount() : 0;
}

QVariant ListProcedure::value(int row, const QString& column) const {
    if (row < 0 || row >= rowCount()) return {};
    const ResultSet& set = m_rows.recordset().current();
    const int index = set.columnIndex(column);
    return index < 0 ? QVariant() : set.rows[row].value(index);
}
