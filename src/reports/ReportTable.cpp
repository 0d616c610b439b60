#include "ReportTable.h"

#include "PrintEngine.h"
#include "Session.h"
#include "Values.h"

QString PrintedText(const TableCell& cell) {
    switch (cell.kind) {
        case CellKind::Whole: return FormatWhole(cell.value);
        case CellKind::Amount: return FormatAmount(cell.value);
        case CellKind::Text: break;
    }
    return cell.value.toString().trimmed();
}

int AmountDecimals() {
    const QString picture = AmountFormatString(Session::current().amountDecimals);
    const qsizetype point = picture.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(picture.size() - point - 1);
}

void TableProgress::nextRow() {
    if (m_row > m_rowsPerPage) {
        ++m_page;
        m_row = 1;
        m_shown = false;
    }
    if (!m_shown) show();
    ++m_row;
}

void TableProgress::closeDocument() {
    if (!m_shown) show();
    ++m_page;
    m_row = 1;
    m_shown = false;
}

void TableProgress::show() {
    ShowPrintProgress(m_page, m_totalPages);
    m_shown = true;
}
