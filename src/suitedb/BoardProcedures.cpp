#include "BoardProcedures.h"

#include <array>
#include <optional>

#include "ProcedureRegistry.h"
#include "SessionProcedures.h"
#include "SqliteConnection.h"
#include "Values.h"

namespace BoardProcedures {
namespace {

constexpr int AddRight = 351;
constexpr int EditRight = 362;
constexpr int TextBytes = 80;
constexpr qlonglong LastNumber = 99999999;  // FSEQ holds eight digits

ResultSets answer(const QString& text, int status) {
    return {ResultSet{{QStringLiteral("MSG"), QStringLiteral("STATUS")}, {{text, status}}}};
}
ResultSets refuse(const QString& text) { return answer(text, 1); }

// The notice's fields in the order of the calls: FDATE, FBEGD, FEND, FSNAM, FDATA, FDEPNO.
struct Notice {
    std::array<QString, 6> fields;
    const QString& date() const { return fields[0]; }
    const QString& begin() const { return fields[1]; }
    const QString& end() const { return fields[2]; }
    const QString& announcer() const { return fields[3]; }
    const QString& text() const { return fields[4]; }
    const QString& department() const { return fields[5]; }
};

Notice noticeOf(const ProcedureCall& call, int first) {
    Notice n;
    for (int i = 0; i < 6; ++i) n.fields[i] = call.text(first + i).trimmed();
    return n;
}

// Why the notice cannot be written, or nothing; the dates come back in their stored form.
std::optional<QString> refusal(SqliteConnection& db, Notice& n) {
    for (int i = 0; i < 5; ++i)
        if (n.fields[i].isEmpty()) return QStringLiteral("欄位不可空白");
    for (int i = 0; i < 3; ++i) {
        if (!IsRocDate(n.fields[i])) return QStringLiteral("日期格式錯誤");
        n.fields[i] = DateToRoc(RocToDate(n.fields[i]));
    }
    if (n.begin() > n.end()) return QStringLiteral("日期前後錯誤");
    if (Big5Length(n.text()) > TextBytes) return QStringLiteral("可輸入英數80個字,中文40個字!");
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM SALE WHERE SNAME = ?1"), {n.announcer()})
            .toLongLong() == 0)
        return QStringLiteral("查無此人");
    if (!n.department().isEmpty() &&
        !db.scalar(QStringLiteral("SELECT 1 FROM Depart25 WHERE DEPARTNO = ?1"), {n.department()})
             .isValid())
        return QStringLiteral("查無此部門代號");
    return std::nullopt;
}

// The stored sequence number of the notice numbered n; empty when there is none.
QString stored(SqliteConnection& db, qlonglong n) {
    return db
        .scalar(QStringLiteral("SELECT FSEQ FROM F8DATA WHERE CAST(FSEQ AS INTEGER) = ?1"), {n})
        .toString();
}
const QString NoNotice = QStringLiteral("查無此筆公告資料");

ResultSets add(SqliteConnection& db, const ProcedureCall& call) {
    const QString user = call.text(0).trimmed();
    if (!SessionProcedures::holdsRight(db, user, AddRight))
        return refuse(QStringLiteral("權限不足"));
    Notice n = noticeOf(call, 1);
    if (const auto why = refusal(db, n)) return refuse(*why);
    // The write lock is held from the start of the call, so no other workstation takes the
    // same number in between. A number is never given twice: the highest ever given is kept
    // beside the notices, and eight digits keep the numbers in the order they were given.
    const qlonglong next =
        db.scalar(QStringLiteral("SELECT MAX(IFNULL((SELECT FLAST FROM F8SEQ WHERE FKEY = ''), 0), "
                                 "IFNULL((SELECT MAX(CAST(FSEQ AS INTEGER)) FROM F8DATA), 0)) + 1"))
            .toLongLong();
    if (next > LastNumber) return refuse(QStringLiteral("公告序號已用盡,請洽系統管理員"));
    db.exec(QStringLiteral("INSERT OR REPLACE INTO F8SEQ (FKEY, FLAST) VALUES ('', ?1)"), {next});
    const QString seq = QStringLiteral("%1").arg(next, 8, 10, QLatin1Char('0'));
    db.exec(QStringLiteral("INSERT INTO F8DATA (FSEQ, FDATE, FBEGD, FEND, FSNAM, FDATA, FDEPNO, "
                           "FUSER) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
            {seq, n.date(), n.begin(), n.end(), n.announcer(), n.text(), n.department(), user});
    return answer(seq, 0);
}

ResultSets edit(SqliteConnection& db, const ProcedureCall& call) {
    const QString user = call.text(0).trimmed();
    if (!SessionProcedures::holdsRight(db, user, EditRight))
        return refuse(QStringLiteral("權限不足"));
    const QString seq = stored(db, call.integer(1, -1));
    if (seq.isEmpty()) return refuse(NoNotice);
    Notice n = noticeOf(call, 2);
    if (const auto why = refusal(db, n)) return refuse(*why);
    db.exec(QStringLiteral("UPDATE F8DATA SET FDATE = ?1, FBEGD = ?2, FEND = ?3, FSNAM = ?4, "
                           "FDATA = ?5, FDEPNO = ?6 WHERE FSEQ = ?7"),
            {n.date(), n.begin(), n.end(), n.announcer(), n.text(), n.department(), seq});
    return answer(seq, 0);
}

ResultSets remove(SqliteConnection& db, const ProcedureCall& call) {
    const QString seq = stored(db, call.integer(0, -1));
    if (seq.isEmpty()) return refuse(NoNotice);
    db.exec(QStringLiteral("DELETE FROM F8DATA WHERE FSEQ = ?1"), {seq});
    return answer(seq, 0);
}
}  // namespace

void addTo(ProcedureRegistry& registry) {
    const QStringList fields = {QStringLiteral("@FDATE"), QStringLiteral("@FBEGD"),
                                QStringLiteral("@FEND"),  QStringLiteral("@FSNAM"),
                                QStringLiteral("@FDATA"), QStringLiteral("@FDEPNO")};
    registry.add(QStringLiteral("SP_F8F_ADD"), QStringList{QStringLiteral("@USER")} + fields, 7,
                 add);
    registry.add(QStringLiteral("SP_F8F_EDIT"),
                 QStringList{QStringLiteral("@USER"), QStringLiteral("@FSEQ INT")} + fields, 8,
                 edit);
    registry.add(QStringLiteral("SP_F8F_DEL"), {QStringLiteral("@FSEQ INT")}, 1, remove);
}
}  // namespace BoardProcedures
