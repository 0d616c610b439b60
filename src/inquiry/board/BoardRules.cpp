#include "BoardRules.h"

#include "Session.h"
#include "SqlLiteral.h"
#include "SuiteDatabase.h"
#include "Values.h"

namespace BoardRules {

Buttons buttons(const Session& s, bool hasRow, Editing editing) {
    Buttons b;
    b[Broadcast].visible = s.switches.boardBroadcast && hasRow;
    if (editing != Editing::None) {
        b[Save].enabled = b[Cancel].enabled = true;
        return b;
    }
    b[Add].enabled = s.hasRight(351);
    b[ListToggle].enabled = s.hasRight(372);
    b[Close].enabled = true;
    if (!hasRow) return b;
    b[Copy].enabled = b[Broadcast].enabled = s.hasRight(351);
    b[Edit].enabled = s.hasRight(362);
    b[Delete].enabled = s.hasRight(363);
    b[Print].enabled = s.hasRight(371);
    return b;
}

QString normalisedDate(const QString& text) { return DateToRoc(RocToDate(text)); }

QString personCount(const QString& name) {
    return QStringLiteral("SELECT COUNT(*) FROM SALE WHERE SNAME = ") + SqlLiteral(name);
}

QString departmentRow(const QString& code) {
    return QStringLiteral("SELECT DEPARTNO FROM DEPART25 WHERE DEPARTNO = ") + SqlLiteral(code);
}

QString identicalNotice(const Fields& f) {
    return QStringLiteral("SELECT * FROM F8DATA WHERE FDATE = ") + SqlLiteral(f[0]) +
           QStringLiteral(" AND FDEPNO = ") + SqlLiteral(f[5]) + QStringLiteral(" AND FBEGD = ") +
           SqlLiteral(f[1]) + QStringLiteral(" AND FDATA = ") + SqlLiteral(f[4]);
}

namespace {
QString arguments(const QStringList& values) {
    QStringList literals;
    for (const QString& v : values) literals << SqlLiteral(v);
    return literals.join(u',');
}
QStringList listed(const Fields& fields) { return {fields.begin(), fields.end()}; }
}  // namespace

QString addCall(const QString& user, const Fields& fields) {
    return QStringLiteral("EXEC  SP_F8F_ADD ") + arguments(QStringList{user} + listed(fields));
}

QString editCall(const QString& user, const QString& seq, const Fields& fields) {
    return QStringLiteral("EXEC  SP_F8F_EDIT ") +
           arguments(QStringList{user, seq} + listed(fields));
}

QString deleteCall(const QString& seq) {
    // The number bare as it is stored, as the server's procedure takes it; what is no number
    // stays a text.
    return QStringLiteral("EXEC  SP_F8F_DEL ") + SqlDigitsLiteral(seq);
}

QString storedNotice(const QString& seq) {
    return QStringLiteral("SELECT * FROM F8DATA WHERE FSEQ = ") + SqlLiteral(seq);
}

std::optional<FailedCheck> saveCheck(Editing editing, const Fields& f,
                                     const QString& copiedDepartment,
                                     const std::function<bool()>& identicalExists) {
    if (editing == Editing::Copy) {
        if (f[5].trimmed() == copiedDepartment.trimmed())
            return FailedCheck{5, QStringLiteral("部門代號重覆")};
        if (identicalExists && identicalExists())
            return FailedCheck{5, QStringLiteral("複製的內容已存在資料庫,不需重覆")};
    }
    for (int i = 0; i < 5; ++i)
        if (f[i].trimmed().isEmpty()) return FailedCheck{i, QStringLiteral("欄位不可空白")};
    if (f[1] > f[2]) return FailedCheck{1, QStringLiteral("日期前後錯誤")};
    return std::nullopt;
}

QString connectionText(const CompanyGroup::Company& c) {
    return QStringLiteral("Provider=") + Connections::quote(c.provider) +
           QStringLiteral(";Password=") + Connections::quote(c.password) +
           QStringLiteral(";Persist Security Info=True;User ID=") + Connections::quote(c.user) +
           QStringLiteral(";Initial Catalog=") + Connections::quote(c.database) +
           QStringLiteral(";Data Source=") + Connections::quote(c.server) +
           QStringLiteral(";Connect Timeout=") + QString::number(c.connectTimeout);
}

}  // namespace BoardRules
