#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class QLineEdit;
class QTableView;
class QWidget;

// Small stateless routines that every window uses: amounts, whole numbers, ROC dates, byte
// limits, LIKE prefixes, grid formats, centring, key filters.

// The amount format picture for the session's decimals ("0".."8"; anything else counts as 2).
QString AmountFormatString(const QString& amountDecimals);
// A number in a picture such as "###,##0.00": '#' optional digit, '0' forced digit, ','
// grouping, '.' decimal point; rounding half away from zero at the last shown decimal.
QString FormatPicture(double value, const QString& picture);

// A value (number, numeric text, empty or null) in the session's amount format; "0.00" for an
// empty, blank or null value.
QString FormatAmount(const QVariant& value);
// A value in "###,###,###,###,###,##0"; "0" for an empty, blank or null value.
QString FormatWhole(const QVariant& value);
// A text as a number; 0 when it is empty or does not convert.
double ToNumber(const QString& text);

// The zero date (serial 0): 30 December 1899.
QDate ZeroDate();
QString DateToRoc(const QDate& date);
QDate RocToDate(const QString& text);
bool IsRocDate(const QString& text);

// The text cut to n bytes of the Big5 code page, never leaving half a character.
QString LimitBytes(const QString& text, int n);
// Applies LimitBytes to a field, keeping the caret where it was and selecting nothing.
void LimitTextBytes(QLineEdit* field, int n);
// Number of Big5 bytes of a text.
int Big5Length(const QString& text);

// A LIKE pattern matching values that begin with the text.
QString LikePrefix(const QString& text);

// Gives a grid's amount columns the session's amount format (see FormattedColumns).
void ApplyGridFormat(QTableView* grid);
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

// Key filters: the typed character code in, the code or 0 (key swallowed) out.
int KeyDigitsOnly(int code);
int KeyDecimalOnly(int code);
int KeyNoQuote(int code);

// A grid model whose columns carry a number format ("#,##0", an amount picture, or empty).
class FormattedColumns {
public:
    virtual ~FormattedColumns() = default;
    virtual int formattedColumnCount() const = 0;
    virtual QString columnFormat(int column) const = 0;
    virtual void setColumnFormat(int column, const QString& format) = 0;
};
