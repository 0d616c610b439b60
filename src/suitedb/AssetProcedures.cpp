#include "AssetProcedures.h"

#include <QDate>
#include <cmath>
#include <optional>

#include "AssetSchedule.h"
#include "Clock.h"
#include "ProcedureRegistry.h"
#include "SqliteConnection.h"
#include "TsqlCollation.h"
#include "Values.h"
#include "WorkSessions.h"
#include "tsql/TsqlFunctions.h"

namespace AssetProcedures {
namespace {

const QString kAssetColumns = QStringLiteral(
    "ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ATOT4, ATOT5, "
    "ASELL, ADAT2, AUSE1, AUSE2, AUSE3, ATIM2");
const QString kLineColumns = QStringLiteral("ACODE, ASEQ, ADENO, APERC, ATOTA, ABACK");

ResultSets answer(const QString& text, int status) {
    return {ResultSet{{QStringLiteral("MSG"), QStringLiteral("STATUS")}, {{text, status}}}};
}
QString named(const QString& code) { return QStringLiteral("財產編號[ %1 ]").arg(code); }

// The register row of a code with what the procedures decide on.
struct AssetState {
    bool exists = false;
    bool reviewed = false;
    bool sold = false;
    QString acquired;
    qlonglong version = 0;
};

AssetState stateOf(SqliteConnection& db, const QString& code) {
    const ResultSet r = db.query(
        QStringLiteral("SELECT AUSE3, ASELL, ADAT1, AVERS FROM Asset WHERE ACODE = ?1"), {code});
    if (r.rows.isEmpty()) return {};
    const QVariantList& row = r.rows.first();
    return {true, !row[0].toString().trimmed().isEmpty(), row[1].toInt() == 1, row[2].toString(),
            row[3].toLongLong()};
}

qlonglong postings(SqliteConnection& db, const QString& code) {
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM Assets WHERE ACODE = ?1 AND ASOUR <> ''"),
                {code})
        .toLongLong();
}

// The staff name of the user who started the module on the workstation.
QString staffOf(SqliteConnection& db, const QString& ws) {
    return db
        .scalar(QStringLiteral("SELECT S.SNAME FROM LSTA L JOIN SALE S ON S.SUSER = L.LUSER "
                               "WHERE L.LCODE = ?1"),
                {ws})
        .toString();
}

void clean(SqliteConnection& db, const QString& ws) { WorkSessions::release(db, ws); }

// The work row of a workstation as the add and edit check it.
struct WorkAsset {
    QString code, acod1, acod2, acod3, acquired;
    double cost = 0, residual = 0, amortised = 0, months = 0;
    qlonglong version = 0;

    double total() const { return cost - residual - amortised; }
};

// The one asset that the workstation's work rows of this session describe, or the refusal
// of the rows. Rows of an ended session are thrown away first.
struct Work {
    std::optional<WorkAsset> asset;
    QString refusal;
};

Work workOf(SqliteConnection& db, const QString& ws, const QString& nothing) {
    switch (WorkSessions::ownerOf(db, ws)) {
        case WorkSessions::Owner::Other:
            return {std::nullopt, WorkSessions::busyMessage(ws)};
        case WorkSessions::Owner::Ended:
            clean(db, ws);
            return {std::nullopt, nothing};
        case WorkSessions::Owner::This:
            break;
    }
    const ResultSet r =
        db.query(QStringLiteral("SELECT TRIM(ACODE), ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, ATOT1, "
                                "ATOT2, AYEAR, AVERS FROM Asset_Temp WHERE LCODE = ?1 LIMIT 2"),
                 {ws});
    if (r.rows.isEmpty()) return {std::nullopt, nothing};
    if (r.rows.size() > 1)
        return {std::nullopt, QStringLiteral("暫存資料不只一筆財產,請放棄後重新輸入!")};
    const QVariantList& w = r.rows.first();
    return {WorkAsset{w[0].toString(), w[1].toString(), w[2].toString(), w[3].toString(),
                      w[4].toString(), w[5].toDouble(), w[6].toDouble(), w[7].toDouble(),
                      w[8].toDouble(), w[9].toLongLong()},
            QString()};
}

// The refusal of a work row that the register cannot take, or an empty text.
QString checkWork(SqliteConnection& db, const QString& ws, const WorkAsset& a) {
    if (a.code.isEmpty()) return QStringLiteral("請輸入財產編號!");
    for (const QString& account : {a.acod1, a.acod2, a.acod3})
        if (!db.scalar(QStringLiteral("SELECT 1 FROM Acco WHERE ACODE = ?1"), {account}).isValid())
            return QStringLiteral("會計科目[ %1 ]不存在!").arg(account);
    if (!IsRocDate(a.acquired)) return QStringLiteral("取得日期[ %1 ]不正確!").arg(a.acquired);
    if (!(a.cost > 0)) return QStringLiteral("取得原價必須大於0!");
    if (a.cost > AssetSchedule::MaxCost)
        return QStringLiteral("取得原價不可大於%1!")
            .arg(QString::number(AssetSchedule::MaxCost, 'f', 0));
    if (!(a.months > 0) || a.months > AssetSchedule::MaxMonths || a.months != std::floor(a.months))
        return QStringLiteral("耐用月數必須是1到%1之間的整數!").arg(AssetSchedule::MaxMonths);
    if (!(a.residual >= 0)) return QStringLiteral("預留殘值不可小於0!");
    if (!(a.amortised >= 0)) return QStringLiteral("已攤提金額不可小於0!");
    if (a.total() < 0) return QStringLiteral("預留殘值及已攤提金額不可大於取得原價!");
    const QVariant unknown = db.scalar(
        QStringLiteral("SELECT T.ADENO FROM Assetd_Temp T WHERE T.LCODE = ?1 AND NOT EXISTS "
                       "(SELECT 1 FROM Depart25 D WHERE D.DEPARTNO = T.ADENO)"),
        {ws});
    if (unknown.isValid()) return QStringLiteral("部門代號[ %1 ]不存在!").arg(unknown.toString());
    const QVariant twice =
        db.scalar(QStringLiteral("SELECT ADENO FROM Assetd_Temp WHERE LCODE = ?1 GROUP BY ADENO "
                                 "HAVING COUNT(*) > 1"),
                  {ws});
    if (twice.isValid()) return QStringLiteral("部門代號[ %1 ]重覆設定!").arg(twice.toString());
    const ResultSet shares = db.query(
        QStringLiteral("SELECT COUNT(*), IFNULL(SUM(APERC), 0), IFNULL(MIN(APERC), 0) FROM "
                       "Assetd_Temp WHERE LCODE = ?1"),
        {ws});
    const QVariantList& s = shares.rows.first();
    if (s[0].toInt() > 0 && !(s[2].toDouble() > 0)) return QStringLiteral("部門攤提比例必須大於0!");
    if (s[0].toInt() > 0 && !(qAbs(s[1].toDouble() - 100) <= 1e-9))
        return QStringLiteral("部門攤提比例合計不等於100!");
    return {};
}

QString closingDate(SqliteConnection& db) {
    return db.scalar(QStringLiteral("SELECT IFNULL(MAX(JDATE), '') FROM JE")).toString();
}

// The month the asset's schedule counts from: its first scheduled month (an asset older than
// the system starts with the system), or the acquisition month when that changes.
QDate scheduleStart(SqliteConnection& db, const WorkAsset& work, const AssetState& state) {
    const QString first =
        db.scalar(QStringLiteral("SELECT IFNULL(MIN(ADATE), '') FROM Assets WHERE ACODE = ?1 AND "
                                 "ASOUR = ''"),
                  {work.code})
            .toString();
    if (work.acquired != state.acquired || !IsRocDate(first)) return RocToDate(work.acquired);
    return RocToDate(first);
}

void writeLines(SqliteConnection& db, const QString& ws, const QString& code) {
    db.exec(QStringLiteral("DELETE FROM Assetd WHERE ACODE = ?1"), {code});
    db.exec(QStringLiteral("INSERT INTO Assetd (") + kLineColumns +
                QStringLiteral(") SELECT ?2, ASEQ, ADENO, APERC, ATOTA, ABACK FROM Assetd_Temp "
                               "WHERE LCODE = ?1"),
            {ws, code});
}

ResultSets browse(SqliteConnection& db, const ProcedureCall& call) {
    const int mode = int(call.integer(0));
    const QString code = call.text(1).trimmed();
    const QString head = QStringLiteral("SELECT ACODE FROM Asset ");
    QVariant found;
    const auto pick = [&](const QString& where, const QString& order) {
        if (!found.isValid())
            found = db.scalar(head + where + QStringLiteral(" ORDER BY ACODE ") + order +
                                  QStringLiteral(" LIMIT 1"),
                              {code});
    };
    switch (mode) {
        case 36:
            pick(QStringLiteral("WHERE ?1 = ?1"), QStringLiteral("ASC"));
            break;
        case 33:
            pick(QStringLiteral("WHERE ACODE < ?1"), QStringLiteral("DESC"));
            break;
        case 34:
            pick(QStringLiteral("WHERE ACODE > ?1"), QStringLiteral("ASC"));
            break;
        case 99:
            pick(QStringLiteral("WHERE ACODE = ?1"), QStringLiteral("ASC"));
            pick(QStringLiteral("WHERE ACODE > ?1"), QStringLiteral("ASC"));
            break;
        default:
            break;
    }
    // Past either end, and for 35: the last asset; before the first: the first.
    if (mode == 33) pick(QStringLiteral("WHERE ?1 = ?1"), QStringLiteral("ASC"));
    pick(QStringLiteral("WHERE ?1 = ?1"), QStringLiteral("DESC"));

    const QString columns = QStringLiteral(
        "A.ACODE AS acode, A.ANAME AS aname, A.ACOD1 AS acod1, IFNULL(C1.ANOTE, '') AS anam1, "
        "A.ACOD2 AS acod2, IFNULL(C2.ANOTE, '') AS anam2, A.ACOD3 AS acod3, "
        "IFNULL(C3.ANOTE, '') AS anam3, A.ADAT1 AS adat1, A.ATOTA AS atota, A.ATOT1 AS atot1, "
        "A.AYEAR AS ayear, A.ATOT2 AS atot2, A.ATOT3 AS atot3, A.ATOT4 AS atot4, "
        "A.ATOT5 AS atot5, A.ASELL AS asell, A.ADAT2 AS adat2, A.AUSE1 AS ause1, "
        "A.AUSE2 AS ause2, A.AUSE3 AS ause3, A.ATIM2 AS atim2");
    const ResultSet asset =
        db.query(QStringLiteral("SELECT ") + columns +
                     QStringLiteral(" FROM Asset A LEFT JOIN Acco C1 ON C1.ACODE = A.ACOD1 "
                                    "LEFT JOIN Acco C2 ON C2.ACODE = A.ACOD2 "
                                    "LEFT JOIN Acco C3 ON C3.ACODE = A.ACOD3 WHERE A.ACODE = ?1"),
                 {found});
    const ResultSet lines = db.query(
        QStringLiteral("SELECT L.ADENO, IFNULL(D.DENAME, '') AS ADENA, L.APERC, L.ATOTA, L.ABACK, "
                       "L.ASEQ FROM Assetd L LEFT JOIN Depart25 D ON D.DEPARTNO = L.ADENO "
                       "WHERE L.ACODE = ?1 ORDER BY L.ASEQ"),
        {found});
    return {asset, lines};
}

ResultSets copy(SqliteConnection& db, const ProcedureCall& call) {
    const QString ws = call.text(0);
    const QString code = call.text(1).trimmed();
    const AssetState state = stateOf(db, code);
    if (!state.exists) return answer(named(code) + QStringLiteral("不存在!"), 1);
    if (state.sold) return answer(named(code) + QStringLiteral("已售出,不可修改!"), 1);
    if (state.reviewed) return answer(named(code) + QStringLiteral("已覆核,不可修改!"), 1);
    clean(db, ws);
    if (!WorkSessions::claim(db, ws)) return answer(WorkSessions::busyMessage(ws), 1);
    db.exec(QStringLiteral("INSERT INTO Asset_Temp (LCODE, ") + kAssetColumns +
                QStringLiteral(", AVERS) SELECT ?1, ") + kAssetColumns +
                QStringLiteral(", AVERS FROM Asset WHERE ACODE = ?2"),
            {ws, code});
    db.exec(QStringLiteral("INSERT INTO Assetd_Temp (LCODE, ") + kLineColumns +
                QStringLiteral(") SELECT ?1, ") + kLineColumns +
                QStringLiteral(" FROM Assetd WHERE ACODE = ?2"),
            {ws, code});
    return answer(QString(), 0);
}

ResultSets add(SqliteConnection& db, const ProcedureCall& call) {
    const QString ws = call.text(0);
    const Work w = workOf(db, ws, QStringLiteral("沒有待新增的財產資料!"));
    if (!w.asset) return answer(w.refusal, 1);
    const WorkAsset* work = &*w.asset;
    if (stateOf(db, work->code).exists)
        return answer(named(work->code) + QStringLiteral("已存在,請重新輸入!"), 2);
    if (const QString refusal = checkWork(db, ws, *work); !refusal.isEmpty())
        return answer(refusal, 1);
    db.exec(QStringLiteral("INSERT INTO Asset (") + kAssetColumns +
                QStringLiteral(", AVERS) SELECT TRIM(ACODE), ANAME, ACOD1, ACOD2, ACOD3, ADAT1, "
                               "ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, 0, ATOT5, 0, '', AUSE1, AUSE2, "
                               "'', ATIM2, 1 FROM Asset_Temp WHERE LCODE = ?1"),
            {ws});
    writeLines(db, ws, work->code);
    AssetSchedule::write(db, work->code, RocToDate(work->acquired), int(work->months),
                         work->total());
    clean(db, ws);
    return answer(work->code, 0);
}

ResultSets edit(SqliteConnection& db, const ProcedureCall& call) {
    const QString ws = call.text(0);
    const Work w = workOf(db, ws, QStringLiteral("沒有待修改的財產資料!"));
    if (!w.asset) return answer(w.refusal, 1);
    const WorkAsset* work = &*w.asset;
    const AssetState state = stateOf(db, work->code);
    if (!state.exists) return answer(named(work->code) + QStringLiteral("已被刪除!"), 1);
    if (state.version != work->version)
        return answer(
            named(work->code) + QStringLiteral("已被其他工作站異動,請放棄本次修改後重新修改!"), 1);
    if (state.sold || state.reviewed)
        return answer(named(work->code) + QStringLiteral("已覆核或已售出,不可修改!"), 1);
    if (const QString refusal = checkWork(db, ws, *work); !refusal.isEmpty())
        return answer(refusal, 1);
    // An edit that changes none of what the schedule is made of (cost, residual, amortised,
    // life, acquisition date) leaves every line as it was: nothing is spread again.
    const QVariantList stored = db.query(QStringLiteral("SELECT ADAT1, ATOTA, ATOT1, ATOT2, AYEAR "
                                                        "FROM Asset WHERE ACODE = ?1"),
                                         {work->code})
                                    .rows.value(0);
    const bool scheduleKept =
        stored.size() == 5 && stored[0].toString().trimmed() == work->acquired.trimmed() &&
        stored[1].toDouble() == work->cost && stored[2].toDouble() == work->residual &&
        stored[3].toDouble() == work->amortised && stored[4].toDouble() == work->months;
    AssetSchedule::Revision revision;
    if (!scheduleKept) {
        revision = AssetSchedule::revise(db, work->code, scheduleStart(db, *work, state),
                                         int(work->months), work->total(), closingDate(db));
        if (!revision.refusal.isEmpty()) return answer(revision.refusal, 1);
    }
    db.exec(QStringLiteral(
                "UPDATE Asset SET (ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, ATOT1, AYEAR, ATOT2, "
                "ATOT3, ATOT5, AUSE2, ATIM2) = (SELECT ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, "
                "ATOT1, AYEAR, ATOT2, ATOT3, ATOT5, AUSE2, ATIM2 FROM Asset_Temp WHERE LCODE = ?1 "
                "LIMIT 1), AVERS = AVERS + 1 WHERE ACODE = ?2"),
            {ws, work->code});
    writeLines(db, ws, work->code);
    if (!scheduleKept) AssetSchedule::apply(db, work->code, revision);
    clean(db, ws);
    return answer(work->code, 0);
}

ResultSets remove(SqliteConnection& db, const ProcedureCall& call) {
    const QString code = call.text(1).trimmed();
    const AssetState state = stateOf(db, code);
    if (!state.exists) return answer(named(code) + QStringLiteral("不存在!"), 1);
    if (state.reviewed || state.sold)
        return answer(named(code) + QStringLiteral("已覆核或已售出,不可刪除!"), 1);
    if (postings(db, code) > 0)
        return answer(named(code) + QStringLiteral("已提列折舊,不可刪除!"), 1);
    QVariant next = db.scalar(
        QStringLiteral("SELECT ACODE FROM Asset WHERE ACODE > ?1 ORDER BY ACODE LIMIT 1"), {code});
    if (!next.isValid())
        next = db.scalar(
            QStringLiteral("SELECT ACODE FROM Asset WHERE ACODE < ?1 ORDER BY ACODE DESC LIMIT 1"),
            {code});
    for (const char* table : {"Asset", "Assetd", "Assets"})
        db.exec(QStringLiteral("DELETE FROM %1 WHERE ACODE = ?1").arg(QLatin1String(table)),
                {code});
    return answer(next.toString(), 0);
}

ResultSets sell(SqliteConnection& db, const ProcedureCall& call) {
    const QString code = call.text(1).trimmed();
    const QString date = call.text(2).trimmed();
    const bool confirmed = call.integer(3) == 2;
    const AssetState state = stateOf(db, code);
    if (!state.exists) return answer(named(code) + QStringLiteral("不存在!"), 1);
    if (state.sold) return answer(named(code) + QStringLiteral("已售出!"), 1);
    if (!state.reviewed) return answer(named(code) + QStringLiteral("尚未覆核,不可售出!"), 1);
    if (!IsRocDate(date)) return answer(QStringLiteral("售出日期[ %1 ]不正確!").arg(date), 1);
    if (date < state.acquired) return answer(QStringLiteral("售出日期不可小於取得日期!"), 1);
    const qlonglong unposted =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM Assets WHERE ACODE = ?1 AND ASOUR = '' "
                                 "AND ADATE <= ?2 AND ADATE NOT IN (SELECT ADATE FROM Assets "
                                 "WHERE ACODE = ?1 AND ASOUR <> '')"),
                  {code, date})
            .toLongLong();
    if (unposted > 0 && !confirmed)
        return answer(
            named(code) +
                QStringLiteral("在售出日期前尚有 %1 期折舊未提列,是否仍要售出?").arg(unposted),
            2);
    db.exec(QStringLiteral("UPDATE Asset SET ASELL = 1, ADAT2 = ?2, ATIM2 = ?3, AVERS = AVERS + 1 "
                           "WHERE ACODE = ?1"),
            {code, date, Clock::now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))});
    // Nothing is scheduled after the sale.
    db.exec(QStringLiteral("DELETE FROM Assets WHERE ACODE = ?1 AND ASOUR = '' AND ADATE > ?2"),
            {code, date});
    const QString closing = closingDate(db);
    if (date <= closing)
        return answer(named(code) + QStringLiteral("的售出日期在關帳日期 %1 之前,已完成售出,"
                                                   "請另行調整帳務!")
                                        .arg(closing),
                      3);
    return answer(code, 0);
}

// The question last asked of a workstation: what it asked to do to which asset, and the
// asset's version then. Only the workstation's next review call on the same asset, while the
// asset is as it was when asked, can answer it; that call ends the question either way.
void rememberQuestion(SqliteConnection& db, const QString& ws, const QString& code,
                      const AssetState& state, int action) {
    db.exec(QStringLiteral("INSERT OR REPLACE INTO AssetQuestion (LCODE, ACODE, ACTION, AVERS) "
                           "VALUES (?1, ?2, ?3, ?4)"),
            {ws, code, action, state.version});
}

std::optional<int> takeQuestion(SqliteConnection& db, const QString& ws, const QString& code,
                                const AssetState& state) {
    const QVariant action = db.scalar(
        QStringLiteral("SELECT ACTION FROM AssetQuestion WHERE LCODE = ?1 AND ACODE = ?2 AND "
                       "AVERS = ?3"),
        {ws, code, state.version});
    db.exec(QStringLiteral("DELETE FROM AssetQuestion WHERE LCODE = ?1"), {ws});
    return action.isValid() ? std::optional<int>(action.toInt()) : std::nullopt;
}

ResultSets ratify(SqliteConnection& db, const ProcedureCall& call) {
    enum { Review = 0, CancelReview = 1 };
    const QString ws = call.text(0);
    const QString code = call.text(1).trimmed();
    const int flag = int(call.integer(2));
    const AssetState state = stateOf(db, code);
    if (!state.exists) return answer(named(code) + QStringLiteral("不存在!"), 1);
    // The other flag after a question confirms it; otherwise 0 reviews and 1 cancels.
    const auto asked = takeQuestion(db, ws, code, state);
    const bool confirmed = asked && *asked != flag;
    const int action = confirmed ? *asked : flag;
    if (action == Review) {
        if (state.reviewed) return answer(named(code) + QStringLiteral("已覆核過了!"), 3);
        if (state.sold) return answer(named(code) + QStringLiteral("已售出!"), 1);
        const bool split =
            db.scalar(QStringLiteral("SELECT 1 FROM Assetd WHERE ACODE = ?1"), {code}).isValid();
        if (!split && !confirmed) {
            rememberQuestion(db, ws, code, state, Review);
            return answer(named(code) + QStringLiteral("尚未設定部門攤提比例,是否仍要覆核?"), 2);
        }
        QString reviewer = staffOf(db, ws);
        if (reviewer.isEmpty()) reviewer = ws;
        db.exec(QStringLiteral("UPDATE Asset SET AUSE3 = ?2, AVERS = AVERS + 1 WHERE ACODE = ?1"),
                {code, reviewer});
        return answer(code, 0);
    }
    if (!state.reviewed) return answer(named(code) + QStringLiteral("尚未覆核!"), 3);
    if (state.sold) return answer(named(code) + QStringLiteral("已售出,不可取消覆核!"), 1);
    if (postings(db, code) > 0 && !confirmed) {
        rememberQuestion(db, ws, code, state, CancelReview);
        return answer(named(code) + QStringLiteral("已提列折舊,是否仍要取消覆核?"), 2);
    }
    db.exec(QStringLiteral("UPDATE Asset SET AUSE3 = '', AVERS = AVERS + 1 WHERE ACODE = ?1"),
            {code});
    return answer(code, 0);
}

// A lookup page with the rules of the SELECT TOP 10 pages: the codes matching the pattern in
// code order, the page chosen by the mode around the anchor. Every page is read from the
// code's index: the pattern's fixed start narrows the range, tsql_like decides, and the anchor
// is a bound of the same range, so a page costs the same with a thousand codes or a million.
ResultSet lookupPage(SqliteConnection& db, const QString& table, const QString& key,
                     const QString& name, const QStringList& columns, const ProcedureCall& call) {
    constexpr int Page = 10;
    const int mode = int(call.integer(0));
    const QString anchor = call.text(1);
    const QString pattern = call.text(2);
    const QString prefix = TsqlFunctions::likePrefix(pattern);
    const TsqlCollation collation;
    enum class Bound { None, AtLeast, AtMost };
    // One lower and one upper bound at most, the nearer of the pattern's range and the
    // anchor, so that SQLite starts walking the index where the page starts.
    const auto page = [&](Bound bound, const QString& at, bool descending, int limit) {
        QString lower = prefix;
        QString upper = prefix.isEmpty() ? QString() : TsqlFunctions::prefixEnd(prefix);
        QString upperTest = QStringLiteral(" < ");
        if (bound == Bound::AtLeast && (lower.isEmpty() || collation.compare(at, lower) > 0))
            lower = at;
        if (bound == Bound::AtMost && (upper.isEmpty() || collation.compare(at, upper) < 0)) {
            upper = at;
            upperTest = QStringLiteral(" <= ");
        }
        QVariantList values = {pattern};
        QString where = QStringLiteral("tsql_like(%1, ?1)").arg(key);
        // An empty anchor still bounds: every code is at least the empty text.
        if (!lower.isEmpty() || bound == Bound::AtLeast) {
            values << lower;
            where += QStringLiteral(" AND %1 >= ?%2").arg(key).arg(values.size());
        }
        if (!upper.isEmpty() || bound == Bound::AtMost) {
            values << upper;
            where += QStringLiteral(" AND %1").arg(key) + upperTest +
                     QStringLiteral("?%1").arg(values.size());
        }
        return db.query(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 ORDER BY %1%5 LIMIT %6")
                            .arg(key, name, table, where,
                                 descending ? QStringLiteral(" DESC") : QString())
                            .arg(limit),
                        values);
    };
    const auto ascending = [](ResultSet set) {
        set.rows.reverse();
        return set;
    };
    ResultSet rows;
    switch (mode) {
        case 35: rows = ascending(page(Bound::None, {}, true, Page)); break;
        case 33:
            // The ten codes that end at the anchor, or the first ten when fewer lie before it.
            rows = ascending(page(Bound::AtMost, anchor, true, Page));
            if (!rows.rows.isEmpty() && rows.rows.size() < Page)
                rows = page(Bound::None, {}, false, Page);
            break;
        case 38: {
            // The page that starts one code before the anchor.
            const ResultSet before = page(Bound::AtMost, anchor, true, 2);
            if (before.rows.isEmpty()) break;
            rows = page(Bound::AtLeast, before.rows.last().value(0).toString(), false, Page);
            break;
        }
        case 34:
        case 40: rows = page(Bound::AtLeast, anchor, false, Page); break;
        default: rows = page(Bound::None, {}, false, Page); break;
    }
    return ResultSet{columns, rows.rows};
}

}  // namespace

void addTo(ProcedureRegistry& registry) {
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_BROW"), {"@MODE INT", "@ACODE"}, 2, browse,
                 ProcedureAccess::Reads);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_COPY"), {"@LCODE", "@ACODE"}, 2, copy);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_ADD"), {"@LCODE"}, 1, add);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_EDIT"), {"@LCODE"}, 1, edit);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_DEL"), {"@LCODE", "@ACODE"}, 2, remove);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_SELL"), {"@LCODE", "@ACODE", "@ADAT2", "@FLAG INT"},
                 4, sell);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_RATI"), {"@LCODE", "@ACODE", "@FLAG INT"}, 3,
                 ratify);
    registry.add(QStringLiteral("SF_ZQ2K_ASSET_CLEAN"), {"@LCODE"}, 1,
                 [](SqliteConnection& db, const ProcedureCall& call) {
                     clean(db, call.text(0));
                     return ResultSets{};
                 });
    registry.add(
        QStringLiteral("SF_ZQ2K_ASSET_F2"), {"@MODE INT", "@ANCHOR", "@PATTERN"}, 3,
        [](SqliteConnection& db, const ProcedureCall& call) {
            return ResultSets{lookupPage(db, QStringLiteral("Asset"), QStringLiteral("ACODE"),
                                         QStringLiteral("ANAME"),
                                         {QStringLiteral("ACODE"), QStringLiteral("ANAME")}, call)};
        },
        ProcedureAccess::Reads);
    registry.add(
        QStringLiteral("SF_ZQ2K_DEPART25_F2"), {"@MODE INT", "@ANCHOR", "@PATTERN"}, 3,
        [](SqliteConnection& db, const ProcedureCall& call) {
            return ResultSets{lookupPage(db, QStringLiteral("Depart25"), QStringLiteral("DEPARTNO"),
                                         QStringLiteral("DENAME"),
                                         {QStringLiteral("a"), QStringLiteral("b")}, call)};
        },
        ProcedureAccess::Reads);
}

}  // namespace AssetProcedures
