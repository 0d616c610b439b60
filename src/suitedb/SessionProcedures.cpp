#include "SessionProcedures.h"

#include <cstdint>

#include "Clock.h"
#include "ProcedureRegistry.h"
#include "SqliteConnection.h"
#include "Values.h"
#include "WorkSessions.h"

namespace SessionProcedures {
namespace {
const char* const NamedColumns[] = {"STAT",  "SMSG",  "COMNAM", "LCODE",    "MFOR",
                                    "SCODE", "SNAME", "SSTOC",  "DEPARTNO", "DENAME",
                                    "SUSER", "LNAME", "COMUNI", "SDATE"};
static_assert(std::size(NamedColumns) == FirstRightMask);

QString maskColumn(int c) { return QStringLiteral("R%1").arg(c, 2, 10, QLatin1Char('0')); }

ResultSet saleRowShape() {
    ResultSet set;
    for (const char* name : NamedColumns) set.columns.append(QLatin1String(name));
    for (int c = 0; c < RightMaskCount; ++c) set.columns.append(maskColumn(c));
    QVariantList row(SaleColumnCount);
    for (int c = 0; c < RightMaskCount; ++c) row[FirstRightMask + c] = 0LL;
    set.rows.append(row);
    return set;
}

ResultSets refuse(ResultSet set, const QString& message) {
    QVariantList row = set.rows.value(0);
    row[0] = 1LL;
    row[1] = message;
    set.rows.replace(0, row);
    return {set};
}

QString staffQuery() {
    QString masks;
    for (int c = 0; c < RightMaskCount; ++c) masks += QStringLiteral(", S.") + maskColumn(c);
    return QStringLiteral(
               "SELECT S.SCODE, S.SNAME, S.SSTOC, S.DEPARTNO, IFNULL(D.DENAME, ''), S.SUSER") +
           masks +
           QStringLiteral(
               " FROM SALE S LEFT JOIN Depart25 D ON D.DEPARTNO = S.DEPARTNO"
               " WHERE S.SUSER = ?1");
}

ResultSets sale(SqliteConnection& db, const ProcedureCall& call) {
    ResultSet set = saleRowShape();
    const QString stationCode = call.text(0);
    const QString userCode = call.text(1).trimmed();

    const ResultSet station =
        db.query(QStringLiteral("SELECT LCODE, LNAME FROM LSTA WHERE LCODE = ?1"), {stationCode});
    if (stationCode.trimmed().isEmpty() || station.rows.isEmpty())
        return refuse(set, QStringLiteral("工作站號 %1 尚未設定,請洽系統管理員!").arg(stationCode));

    const ResultSet staff = db.query(staffQuery(), {userCode});
    if (userCode.isEmpty() || staff.rows.isEmpty())
        return refuse(set, QStringLiteral("使用者代號 %1 不存在,請洽系統管理員!").arg(userCode));

    const ResultSet company =
        db.query(QStringLiteral("SELECT COMNAM, MFOR, COMUNI FROM COMP ORDER BY COMNO LIMIT 1"));
    const QVariantList none(3);
    const QVariantList comp = company.rows.isEmpty() ? none : company.rows.value(0);
    const QVariantList ws = station.rows.value(0);
    const QVariantList person = staff.rows.value(0);

    const QDateTime now = Clock::now();
    db.exec(QStringLiteral("UPDATE LSTA SET LUSER = ?1, LTIME = ?2 WHERE LCODE = ?3"),
            {person[5], now, ws[0]});
    // A new session of the workstation starts without the work rows of one that ended.
    WorkSessions::dropAbandoned(db, ws[0].toString());

    QVariantList row = set.rows.value(0);
    row[0] = 0LL;
    row[1] = QString(QLatin1String(""));
    row[2] = comp[0];
    row[3] = ws[0];
    row[4] = comp[1];
    row[5] = person[0];
    row[6] = person[1];
    row[7] = person[2];
    row[8] = person[3];
    row[9] = person[4];
    row[10] = person[5];
    row[11] = ws[1];
    row[12] = comp[2];
    row[13] = DateToRoc(now.date());
    for (int c = 0; c < RightMaskCount; ++c) row[FirstRightMask + c] = person[6 + c];
    set.rows.replace(0, row);
    return {set};
}

ResultSets timeUpdate(SqliteConnection& db, const ProcedureCall& call) {
    const QDateTime now = Clock::now();
    db.exec(QStringLiteral("UPDATE LSTA SET LTIME = ?1 WHERE LCODE = ?2"), {now, call.text(0)});
    ResultSet set;
    set.columns = QStringList{QStringLiteral("DTIME")};
    set.rows.append(QVariantList{now});
    return {set};
}
}  // namespace

bool holdsRight(SqliteConnection& db, const QString& userCode, int right) {
    if (right < 0 || right >= RightMaskCount * 32 || userCode.trimmed().isEmpty()) return false;
    const QVariant mask = db.scalar(QStringLiteral("SELECT ") + maskColumn(right / 32) +
                                        QStringLiteral(" FROM SALE WHERE SUSER = ?1"),
                                    {userCode.trimmed()});
    return mask.isValid() && !mask.isNull() &&
           (std::uint32_t(mask.toLongLong()) >> (right % 32) & 1u) != 0;
}

void addTo(ProcedureRegistry& registry) {
    registry.add(QStringLiteral("SF_ZQ2K_SALE"),
                 {QStringLiteral("@LCODE"), QStringLiteral("@SUSER"), QStringLiteral("@KIND INT")},
                 2, sale);
    registry.add(QStringLiteral("SP_TIME_UPDATE"), {QStringLiteral("@LCODE")}, 1, timeUpdate);
}
}  // namespace SessionProcedures
