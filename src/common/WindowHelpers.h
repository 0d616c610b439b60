#pragma once

#include <QString>

class QLineEdit;

class QTableView;
class QWidget;

// Small routines of the windows: field byte limits, grid formats, centring and closing child
// windows.

// Applies LimitBytes to a field, keeping the caret where it was and selecting nothing.
void LimitTextBytes(QLineEdit* field, int n);

// Gives a grid's amount columns the session's amount format (see FormattedColumns).
void ApplyGridFormat(QTableView* grid);
// Widens the columns of amounts (given by their index) to show the largest amount whole, in
// the grid's format for the column.
void FitLargestAmount(QTableView* grid, const QList<int>& columns);
// The height of the notice line at the top of the main window's client area, in twips.
constexpr int NoticeLineTwips = 720;
// Centres a child window in the main window (in twips, with H and W the main window's outer
// height and width: top = (H - h) / 2 - 418, left = (W - w - 200) / 2), never over the notice
// line nor beyond the left edge.
void CenterChild(QWidget* child);
// Closes a child window (its frame inside the main window, or the window itself); the keyboard
// goes back to the control it came from when the window opened, or on in the child window that
// was active before (FocusNextChild).
void CloseChild(QWidget* child);
// Deletes a window's child widgets now. A window whose grids show the recordsets of data
// sources it owns calls this first in its destructor, so that no grid outlives its rows.
void DeleteChildWidgets(QWidget* window);

// A grid model whose columns carry a number format ("#,##0", an amount picture, or empty).
class FormattedColumns {
public:
    virtual ~FormattedColumns() = default;
    virtual int formattedColumnCount() const = 0;
    virtual QString columnFormat(int column) const = 0;
    virtual void setColumnFormat(int column, const QString& format) = 0;
};
