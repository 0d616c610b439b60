#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "CompanyGroup.h"

struct Session;

// The rules of the bulletin board (mode "K 佈告欄" of the inquiry window) that are not about
// widgets: which buttons a user may press, the statements and calls as sent, the checks before
// saving, and the connection text of a sister company.
namespace BoardRules {

// The buttons B5(i).
enum Button {
    Add,
    Edit,
    Delete,
    Copy,
    Print,
    ListToggle,
    Save,
    Cancel,
    Close,
    Broadcast,
    ButtonCount
};
// What the fields are being edited for.
enum class Editing { None, Add, Edit, Copy };

struct ButtonState {
    bool enabled = false;
    bool visible = true;
};
using Buttons = std::array<ButtonState, ButtonCount>;
// The buttons for the user's rights, whether the list has a current row, and the editing.
// "儲存 8VN" shows only where the broadcast is switched on, and only with a current row.
Buttons buttons(const Session& session, bool hasRow, Editing editing);

// T4(0) to T4(5): FDATE, FBEGD, FEND, FSNAM, FDATA, FDEPNO.
constexpr int FieldCount = 6;
using Fields = std::array<QString, FieldCount>;
constexpr const char* Columns[FieldCount] = {"FDATE", "FBEGD", "FEND", "FSNAM", "FDATA", "FDEPNO"};
constexpr int TextBytes = 80;  // T4(4)

// A date field's text once left, as the value helpers read and write it: the ROC date it
// means; today for an empty or unreadable text, the zero date for an impossible one.
QString normalisedDate(const QString& text);

QString personCount(const QString& name);
QString departmentRow(const QString& code);
// The notice identical to a copy.
QString identicalNotice(const Fields& fields);
QString addCall(const QString& user, const Fields& fields);
QString editCall(const QString& user, const QString& seq, const Fields& fields);
QString deleteCall(const QString& seq);
// The notice as stored now, read before it is changed or deleted.
QString storedNotice(const QString& seq);
inline const QString NoticeChangedElsewhere =
    QStringLiteral("此筆公告已被其他工作站修改或刪除,請重新查詢");

struct FailedCheck {
    int field;  // the field that gets the focus
    QString message;
};
// The checks of "儲存" in their order. copiedDepartment: the department of the notice a copy
// was made from; identicalExists reads whether the copy is there already (asked for copies
// only).
std::optional<FailedCheck> saveCheck(Editing editing, const Fields& fields,
                                     const QString& copiedDepartment,
                                     const std::function<bool()>& identicalExists);

// The connection text of a sister company, every value quoted where it needs to be.
QString connectionText(const CompanyGroup::Company& company);
// The test of a sister company's connection.
inline const QString ConnectionTest = QStringLiteral("Select 'Exists'");

}  // namespace BoardRules
