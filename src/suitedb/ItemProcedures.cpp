#include "ItemProcedures.h"

#include <QRegularExpression>
#include <algorithm>

#include "Clock.h"
#include "DbError.h"
#include "ProcedureRegistry.h"
#include "SqliteConnection.h"
#include "Values.h"

namespace ItemProcedures {
namespace {

[[noreturn]] void refuse(const QString& message) { throw DbError(DbErrorNumber::Syntax, message); }

// The item a text names. Each look-up is one index seek; the first that finds an item wins.
ResultSets findItem(SqliteConnection& db, const ProcedureCall& call) {
    const QString text = call.text(0);
    static const char* const lookups[] = {
        "SELECT ICODE, INAME FROM ITEM WHERE ICODE = ?1",
        "SELECT I.ICODE, I.INAME FROM ITEM1 A JOIN ITEM I ON I.ICODE = A.ICODE1 "
        "WHERE A.ENA13 = ?1 ORDER BY A.ICODE1 LIMIT 1",
        "SELECT I.ICODE, I.INAME FROM ITEM1 A JOIN ITEM I ON I.ICODE = A.ICODE1 "
        "WHERE A.CO128 = ?1 ORDER BY A.ICODE1 LIMIT 1",
        "SELECT ICODE, INAME FROM ITEM WHERE ICOD2 = ?1 ORDER BY ICODE LIMIT 1",
    };
    ResultSet found{{QStringLiteral("ICODE"), QStringLiteral("INAME")}, {}};
    if (text.trimmed().isEmpty()) return {found};
    for (const char* sql : lookups) {
        const ResultSet rows = db.query(QString::fromLatin1(sql), {text});
        if (!rows.rows.isEmpty()) {
            found.rows = rows.rows;
            break;
        }
    }
    return {found};
}

// The item's quantity all told and within each span of days, in one pass over its rows.
QVariantList sums(SqliteConnection& db, const QString& from, const QString& quantity,
                  const QString& date, const QString& item, const QList<Span>& spans) {
    QString sql = QStringLiteral("SELECT IFNULL(SUM(%1), 0)").arg(quantity);
    QVariantList values = {item};
    for (const Span& s : spans) {
        values << s.from << s.to;
        sql += QStringLiteral(", IFNULL(SUM(CASE WHEN %1 BETWEEN ?%2 AND ?%3 THEN %4 END), 0)")
                   .arg(date)
                   .arg(values.size() - 1)
                   .arg(values.size())
                   .arg(quantity);
    }
    return db.query(sql + QStringLiteral(" FROM ") + from, values).rows.value(0);
}

ResultSets countItem(SqliteConnection& db, const ProcedureCall& call) {
    const QString item = call.text(0);
    if (item.trimmed().isEmpty()) refuse(QStringLiteral("產品代號不可空白!"));
    const CountSpans spans = countSpans(Clock::today());
    const auto lines = [&](const char* table, const QList<Span>& within) {
        return sums(
            db, QLatin1String(table) + QStringLiteral(" WHERE HICOD = ?1 AND SystemVisible = 1"),
            QStringLiteral("HINUM"), QStringLiteral("HDAT1"), item, within);
    };
    const QVariantList sales = lines("HISTIN", {spans.month, spans.lastWeek, spans.thisWeek});
    const QVariantList returns = lines("HISTOU", {spans.thisWeek});
    const QVariantList orders = sums(
        db, QStringLiteral("ORSUB S LEFT JOIN ORDET D ON D.OCOD1 = S.OCOD1 WHERE S.OICOD = ?1"),
        QStringLiteral("S.OINUM"), QStringLiteral("D.ODAT1"), item, spans.orderWeeks);

    ResultSet set;
    set.columns = {QStringLiteral("SALEALL"), QStringLiteral("SALEMON"), QStringLiteral("SALELWK"),
                   QStringLiteral("SALETWK"), QStringLiteral("BACKTWK"), QStringLiteral("BACKALL"),
                   QStringLiteral("ORDALL")};
    for (int w = 1; w <= 8; ++w) set.columns << QStringLiteral("ORDW%1").arg(w);
    QVariantList row = {sales.value(0), sales.value(1),   sales.value(2),
                        sales.value(3), returns.value(1), returns.value(0)};
    row += orders;
    set.rows.append(row);
    return {set};
}

// An account of the group's network: a letter, twelve digits, a letter.
ResultSets branchStock(SqliteConnection& db, const ProcedureCall& call) {
    const QString account = call.text(0);
    const QString item = call.text(1);
    static const QRegularExpression form(QStringLiteral("^[A-Za-z][0-9]{12}[A-Za-z]$"));
    if (!form.match(account).hasMatch())
        refuse(QStringLiteral("帳號[ %1 ]格式不正確!").arg(account));
    if (!db.scalar(QStringLiteral("SELECT 1 FROM VNACCT WHERE VACCT = ?1"), {account}).isValid())
        refuse(QStringLiteral("帳號[ %1 ]不存在!").arg(account));
    return {db.query(QStringLiteral("SELECT VBRNO, VBNAM, VSNUM, VDATE FROM VNSTOC WHERE VACCT = "
                                    "?1 AND VICOD = ?2 ORDER BY VBRNO"),
                     {account, item})};
}
}  // namespace

CountSpans countSpans(const QDate& today) {
    const auto span = [&today](const QDate& from, const QDate& to) {
        return Span{DateToRoc(from), DateToRoc(std::min(to, today))};
    };
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    CountSpans s;
    s.month = span(QDate(today.year(), today.month(), 1), today);
    s.lastWeek = span(monday.addDays(-7), monday.addDays(-1));
    s.thisWeek = span(monday, today);
    for (int w = 0; w < 8; ++w)
        s.orderWeeks << span(monday.addDays(-7 * w), monday.addDays(-7 * w + 6));
    return s;
}

void addTo(ProcedureRegistry& registry) {
    registry.add(QStringLiteral("SF_ZQ2K_ITEM_ALL"), {"@TEXT", "@STCOD", "@MODE INT"}, 1, findItem,
                 ProcedureAccess::Reads);
    registry.add(QStringLiteral("SF_ZQ2K_ITEM_COUNTS"), {"@ICODE"}, 1, countItem,
                 ProcedureAccess::Reads);
    registry.add(QStringLiteral("SF_ZQ2K_VNNET_STOC"), {"@ACCOUNT", "@ICODE"}, 2, branchStock,
                 ProcedureAccess::Reads);
}
}  // namespace ItemProcedures
