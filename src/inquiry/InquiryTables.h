#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "HistoryGrids.h"
#include "RecordsetModel.h"

struct Session;

// The fixed tables of the item inquiry window: its mode buttons, the columns of its grids and
// the labels of its item panel.
namespace InquiryTables {

constexpr int ModeCount = 25;
constexpr int CloseMode = 8;
constexpr int PanelLabels = 58;

enum class View {
    Paged,           // a history grid paged by boundary and rows
    Purchases,       // DG3, paged by the list procedure
    WarehouseStock,  // DG11
    GoodsReceived,   // DG22
    SerialHoldings,  // DG23
    Close,
    Later,  // a view that another part of the window will provide
};

struct Mode {
    QString caption;
    QString toolTip;
    View view = View::Later;
    std::optional<HistoryGrid> grid;  // for paged views
    bool itemBased = true;            // needs a highlighted item
    int right = 0;                    // 0: no right needed
    QString rightMessage;
    QString emptyMessage;  // views without paging and the purchases
    QString gridName;      // the grid the view shows
};

const Mode& mode(int index);
// The mode whose accelerator (first character of the caption) is the letter; -1 for none.
int modeOfLetter(QChar letter);

// The grid columns: caption, field and number format ("#,##0" whole, "#,##0.00" an amount
// that takes the session's decimals).
QList<RecordsetModel::Column> columnsOf(const QString& gridName);
// Every grid that the modes show, in creation order.
QStringList historyGridNames();

// The item panel L0(0..57): fixed captions and the values of the highlighted item, read by
// column name from the item list's page. A value label may carry a text colour.
struct PanelText {
    QString text;
    QColor colour;  // invalid: the label's own colour
};
using PanelTexts = std::array<PanelText, PanelLabels>;
// The captions alone (value labels empty), as the panel shows with no item.
PanelTexts panelCaptions();
PanelTexts panelTexts(const std::function<QVariant(const QString&)>& field, const Session& session);
}  // namespace InquiryTables
