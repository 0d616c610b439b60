#include "InquiryProcedures.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "DbError.h"
#include "ProcedureRegistry.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "tsql/TsqlFunctions.h"

namespace InquiryProcedures {
namespace {

// A refusal in the words RAISERROR would give the client.
[[noreturn]] void refuse(const QString& message) { throw DbError(DbErrorNumber::Syntax, message); }

// Texts compare as the server compares them: without regard to case, blanks at the end
// ignored.
QString trimmedEnd(QString text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    text.truncate(n);
    return text;
}
bool same(const QString& text, const char* word) {
    return trimmedEnd(text).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// ---- Paging by key

// Where a read of rows in key order starts: at either end, or from a key (the rows at or
// after it, after it, at or before it, before it). Reads give their rows in key order, and
// their columns also when no row is found.
enum class Seek { First, Last, From, After, UpTo, Before };

bool backwards(Seek seek) {
    return seek == Seek::Last || seek == Seek::UpTo || seek == Seek::Before;
}

// The comparison of a row's key with the anchor for a seek; empty for either end.
QString comparison(Seek seek) {
    switch (seek) {
        case Seek::From:
            return QStringLiteral(">=");
        case Seek::After:
            return QStringLiteral(">");
        case Seek::UpTo:
            return QStringLiteral("<=");
        case Seek::Before:
            return QStringLiteral("<");
        default:
            return {};
    }
}

// What a key number asks of a grid.
enum class Move { First, Last, EndingAt, StartingAt, ScrollUp, ScrollDown };

// The page moves of the grids, each a read or two around the anchor: a page is at most
// PageSize rows in key order.
class Pager {
public:
    using Read = std::function<ResultSet(Seek, const QVariantList& key, int limit)>;
    using KeyOf = std::function<QVariantList(const QVariantList& row)>;

    // lastWhenShort: a page from a key with fewer rows after it shows the last page instead.
    Pager(Read read, KeyOf keyOf, bool lastWhenShort)
        : m_read(std::move(read)), m_keyOf(std::move(keyOf)), m_lastWhenShort(lastWhenShort) {}

    ResultSet page(Move move, const QVariantList& anchor) const {
        switch (move) {
            case Move::First:
                return first();
            case Move::Last:
                return last();
            case Move::EndingAt:
                return endingAt(anchor);
            case Move::StartingAt:
                return startingAt(anchor);
            case Move::ScrollUp: {
                const ResultSet before = m_read(Seek::Before, anchor, 1);
                return before.rows.isEmpty() ? first() : startingAt(m_keyOf(before.rows.first()));
            }
            case Move::ScrollDown: {
                const ResultSet after = m_read(Seek::After, anchor, 1);
                return after.rows.isEmpty() ? last() : endingAt(m_keyOf(after.rows.first()));
            }
        }
        return {};
    }

private:
    ResultSet first() const { return m_read(Seek::First, {}, PageSize); }
    ResultSet last() const { return m_read(Seek::Last, {}, PageSize); }
    ResultSet startingAt(const QVariantList& key) const {
        ResultSet page = m_read(Seek::From, key, PageSize);
        return page.rows.size() < PageSize && m_lastWhenShort ? last() : page;
    }
    ResultSet endingAt(const QVariantList& key) const {
        ResultSet page = m_read(Seek::UpTo, key, PageSize);
        return page.rows.size() < PageSize ? first() : page;
    }

    Read m_read;
    KeyOf m_keyOf;
    bool m_lastWhenShort;
};

// One statement's values, numbered in the order they are placed.
class Values {
public:
    QString place(const QVariant& value) {
        m_values.append(value);
        return QStringLiteral("?%1").arg(m_values.size());
    }
    const QVariantList& list() const { return m_values; }

private:
    QVariantList m_values;
};

// Runs a read: the rows of a backwards read come in descending key order and are turned.
ResultSet readRows(SqliteConnection& db, const QString& sql, const Values& values, Seek seek) {
    ResultSet set = db.query(sql, values.list());
    if (backwards(seek)) set.rows.reverse();
    return set;
}

// ---- SP_F8

// The options of a call: 0 or 1, bare or quoted.
bool option(const ProcedureCall& call, int i, const QString& name) {
    const QVariant& v = call.arguments()[i];
    if (v.typeId() == QMetaType::LongLong && (v.toLongLong() == 0 || v.toLongLong() == 1))
        return v.toLongLong() == 1;
    if (v.typeId() == QMetaType::QString) {
        const QString text = trimmedEnd(v.toString());
        if (text == QLatin1String("0") || text == QLatin1String("1"))
            return text == QLatin1String("1");
    }
    refuse(QStringLiteral("選項[ %1 ]的值[ %2 ]不正確,應為 0 或 1!").arg(name, call.text(i)));
}

// What the item list shows.
struct ListOptions {
    QString warehouse;  // the filter; empty for every warehouse
    bool zeroHidden = false;
    bool stoppedShown = true;
    int costs = 0;  // 0 none, 1 ISOUR, 2 ISOUR and ISOUR2
};

// The columns of the item list: code, name, model, unit, the shown stock, then what the item
// panel reads, the costs and the stop flag.
QString listColumns(const ListOptions& o) {
    const bool filtered = !o.warehouse.isEmpty();
    // Each "TABLE.COLUMN" is named after its column; "expression=NAME" names an expression.
    const QStringList columns = {
        QStringLiteral("I.ICODE"),
        QStringLiteral("I.INAME"),
        QStringLiteral("I.ICONS"),
        QStringLiteral("I.IPOIN"),
        filtered ? QStringLiteral("S.SNUMB") : QStringLiteral("I.INUMB=SNUMB"),
        QStringLiteral("I.INUMB I.ISAVE I.ORSUB I.ISISE I.INUM2 I.IPOI2 I.IUNI2 I.INUM3 I.IPOI3 "
                       "I.IUNI3"),
        QStringLiteral("IFNULL(A.ENA13,'')=ENA13"),
        QStringLiteral("IFNULL(A.CO128,'')=CO128"),
        QStringLiteral("I.IPCOD I.IPNAM I.IUNIT I.IUNIT2 I.IUNIT3 I.IUNIT4 I.IUNIT5 I.IUNIT6 "
                       "I.ICOD2 I.CH63 I.INUM7 I.IPOI7 I.ISPACE"),
        filtered ? QStringLiteral("S.STCOD") : QStringLiteral("''=STCOD"),
        QStringLiteral("A.T1_0 A.T1_1 A.T1_2 A.T1_4 A.T1_10 B.T11_11 B.T11_13 B.T11_15 B.T11_19"),
        o.costs >= 1 ? QStringLiteral("I.ISOUR") : QStringLiteral("NULL=ISOUR"),
        o.costs >= 2 ? QStringLiteral("A.ISOUR2") : QStringLiteral("NULL=ISOUR2"),
        QStringLiteral("IFNULL(B.STOPSALE,0)=STOPSALE"),
    };
    QStringList out;
    for (const QString& group : columns)
        for (const QString& column : group.split(u' ')) {
            const qsizetype named = column.lastIndexOf(u'=');
            out.append(named >= 0
                           ? column.left(named) + QStringLiteral(" AS ") + column.mid(named + 1)
                           : column + QStringLiteral(" AS ") + column.section(u'.', 1));
        }
    return out.join(QStringLiteral(", "));
}

// A read of the item list: the items that pass the options, in code order from the seek.
// With a warehouse filter the walk goes over that warehouse's stock rows (index STOC_STCOD),
// else over ITEM's key; either way it stops after `limit` items.
ResultSet readItems(SqliteConnection& db, const ListOptions& o, Seek seek, const QVariantList& key,
                    int limit) {
    const bool filtered = !o.warehouse.isEmpty();
    const QString code = filtered ? QStringLiteral("S.SITEM") : QStringLiteral("I.ICODE");
    Values values;
    QStringList conditions;
    if (filtered) conditions << QStringLiteral("S.STCOD = ") + values.place(o.warehouse);
    if (const QString op = comparison(seek); !op.isEmpty())
        conditions << code + u' ' + op + u' ' + values.place(key.value(0));
    if (o.zeroHidden)
        conditions << (filtered ? QStringLiteral("S.SNUMB <> 0") : QStringLiteral("I.INUMB <> 0"));
    if (!o.stoppedShown) conditions << QStringLiteral("IFNULL(B.STOPSALE, 0) <> 1");
    const QString sql =
        QStringLiteral("SELECT ") + listColumns(o) + QStringLiteral(" FROM ") +
        (filtered ? QStringLiteral("STOC S CROSS JOIN ITEM I ON I.ICODE = S.SITEM")
                  : QStringLiteral("ITEM I")) +
        QStringLiteral(
            " LEFT JOIN ITEM1 A ON A.ICODE1 = I.ICODE LEFT JOIN ITEM3 B ON "
            "B.ICODE3 = I.ICODE WHERE ") +
        (conditions.isEmpty() ? QStringLiteral("1") : conditions.join(QStringLiteral(" AND "))) +
        QStringLiteral(" ORDER BY ") + code +
        (backwards(seek) ? QStringLiteral(" DESC") : QString()) + QStringLiteral(" LIMIT ") +
        values.place(limit);
    return readRows(db, sql, values, seek);
}

constexpr int HistoryKeyDocumentBytes = 11;

// The purchase history of one item: its VISEIN lines by document and line number, read
// from the index VISEIN_VICOD with the key as a row value. HINX is the grids' composite key.
ResultSet readPurchases(SqliteConnection& db, const QString& item, bool prices, Seek seek,
                        const QVariantList& key, int limit) {
    Values values;
    QString sql = QStringLiteral(
                      "SELECT VCOD1, VDAT1, VPNAM, VTCOD, VINUM, VPOIN, %1 AS VUNIT, %2 AS VTOTA, "
                      "VCOD1SEQ, %3 || (10000 + VSEQ) AS HINX, VSEQ FROM "
                      "VISEIN INDEXED BY VISEIN_VICOD WHERE VICOD = ")
                      .arg(prices ? QStringLiteral("VUNIT") : QStringLiteral("'***.**'"),
                           prices ? QStringLiteral("VTOTA") : QStringLiteral("'***.**'"),
                           SuiteSchema::filled(QStringLiteral("VCOD1"), HistoryKeyDocumentBytes)) +
                  values.place(item);
    if (const QString op = comparison(seek); !op.isEmpty())
        sql += QStringLiteral(" AND (VCOD1, VSEQ) ") + op + QStringLiteral(" (") +
               values.place(key.value(0)) + QStringLiteral(", ") + values.place(key.value(1)) +
               u')';
    const QString order = backwards(seek) ? QStringLiteral(" DESC") : QString();
    sql += QStringLiteral(" ORDER BY VCOD1") + order + QStringLiteral(", VSEQ") + order +
           QStringLiteral(" LIMIT ") + values.place(limit);
    return readRows(db, sql, values, seek);
}

// A history key as the grids write it: the document code filled to 11 bytes of the code
// page, then 10000 + the line number in five digits. Empty: before every line.
QVariantList historyKey(const QString& text) {
    if (text.isEmpty()) return {QString(), -1};
    bool ok = false;
    const int line = text.right(5).toInt(&ok);
    if (text.size() < 6 || !ok || line < 10000)
        refuse(QStringLiteral("資料鍵值[ %1 ]不正確!").arg(text));
    return {trimmedEnd(text.chopped(5)), line - 10000};
}

// What each key number asks of the item list and of the purchase history; none: refused.
struct KeyMoves {
    int key;
    std::optional<Move> list;
    std::optional<Move> history;
};
const KeyMoves Keys[] = {
    {99, Move::First, Move::Last},
    {36, Move::First, Move::First},
    {35, Move::Last, Move::Last},
    {33, Move::EndingAt, Move::EndingAt},
    {34, Move::StartingAt, Move::StartingAt},
    {13, Move::StartingAt, std::nullopt},
    {80, Move::StartingAt, std::nullopt},
    {38, Move::ScrollUp, Move::ScrollUp},
    {40, Move::ScrollDown, Move::ScrollDown},
};

Move moveOf(const ProcedureCall& call, bool list) {
    const int key = int(call.integer(2));
    for (const KeyMoves& k : Keys) {
        const std::optional<Move> move = list ? k.list : k.history;
        if (k.key == key && move) return *move;
    }
    refuse(QStringLiteral("按鍵代碼[ %1 ]不正確!").arg(key));
}

// Result set 1: the list warehouse given back and the caption of the stock column.
ResultSet heading(SqliteConnection& db, const ProcedureCall& call, const QString& filter) {
    QString caption = QStringLiteral("總庫存");
    if (!filter.isEmpty()) {
        const QVariant name = db.scalar(
            QStringLiteral("SELECT ITNAM FROM ITYP WHERE ITYPE = '1' AND ITCOD = ?1"), {filter});
        if (!name.isValid()) refuse(QStringLiteral("倉庫代號[ %1 ]不存在!").arg(filter));
        caption = trimmedEnd(name.toString()) + QStringLiteral("庫存");
    }
    return ResultSet{{QStringLiteral("LSTOC"), QStringLiteral("CAPTION")},
                     {{call.text(3), caption}}};
}

ResultSet listPage(SqliteConnection& db, const ProcedureCall& call, const ListOptions& o) {
    const QString flag = call.text(1);
    ListOptions options = o;
    if (same(flag, "True2"))
        options.costs = 2;
    else if (same(flag, "True"))
        options.costs = 1;
    else if (!same(flag, "False"))
        refuse(QStringLiteral("顯示旗標[ %1 ]不正確,應為 True2、True 或 False!").arg(flag));
    const QString anchor = call.text(5);
    Move move = moveOf(call, true);
    if (move == Move::First && call.integer(2) == 99 && !anchor.isEmpty()) move = Move::StartingAt;
    const Pager pager([&](Seek seek, const QVariantList& k,
                          int limit) { return readItems(db, options, seek, k, limit); },
                      [](const QVariantList& row) { return QVariantList{row.value(0)}; }, true);
    return pager.page(move, {anchor});
}

ResultSet historyPage(SqliteConnection& db, const ProcedureCall& call) {
    const QString flag = call.text(1);
    if (!same(flag, "True") && !same(flag, "False"))
        refuse(QStringLiteral("顯示旗標[ %1 ]不正確,應為 True 或 False!").arg(flag));
    const bool prices = same(flag, "True");
    const Move move = moveOf(call, false);
    const QString item = call.text(5);
    const Pager pager([&](Seek seek, const QVariantList& k,
                          int limit) { return readPurchases(db, item, prices, seek, k, limit); },
                      [](const QVariantList& row) {
                          return QVariantList{row.value(0), row.value(10)};
                      },
                      false);
    return pager.page(move, historyKey(call.text(6)));
}


// ---- SP_F8 for the vendor lookup: DG4 vendors, DG5 the vendor's items, DG6 its purchases

// The LIKE pattern of a code column: a range of its index for the pattern's prefix, then the
// pattern itself.
QString likeCondition(Values& values, const QString& column, const QString& pattern) {
    QString sql = QStringLiteral("tsql_like(%1, %2)").arg(column, values.place(pattern));
    if (const QString prefix = TsqlFunctions::likePrefix(pattern); !prefix.isEmpty())
        sql += QStringLiteral(" AND %1 >= %2 AND %1 < %3")
                   .arg(column, values.place(prefix), values.place(TsqlFunctions::prefixEnd(prefix)));
    return sql;
}

// A list of codes matching the pattern, in code order from the key: "SELECT ... FROM table"
// and its code column; DG4 the vendors, DG2 the items.
ResultSet readCodes(SqliteConnection& db, const QString& head, const QString& column,
                    const QString& pattern, Seek seek, const QVariantList& key, int limit) {
    Values values;
    QString sql = head + QStringLiteral(" WHERE ") + likeCondition(values, column, pattern);
    if (const QString op = comparison(seek); !op.isEmpty())
        sql += QStringLiteral(" AND ") + column + u' ' + op + u' ' + values.place(key.value(0));
    sql += QStringLiteral(" ORDER BY ") + column +
           (backwards(seek) ? QStringLiteral(" DESC") : QString()) + QStringLiteral(" LIMIT ") +
           values.place(limit);
    return readRows(db, sql, values, seek);
}

ResultSet readVendors(SqliteConnection& db, const QString& pattern, Seek seek,
                      const QVariantList& key, int limit) {
    return readCodes(db, QStringLiteral("SELECT PCODE, PNAM2 FROM PART"), QStringLiteral("PCODE"),
                     pattern, seek, key, limit);
}

// DG5: the items bought from the vendor, in code order on the vendor's index: from one item the
// next is sought in the index, over however many lines the vendor has of it (DISTINCT would
// walk every line), so that a page costs fifteen seeks.
ResultSet readVendorItems(SqliteConnection& db, const QString& vendor, const QString& pattern,
                          Seek seek, const QVariantList& key, int limit) {
    Values values;
    const bool back = backwards(seek);
    const auto next = [&](const QString& op, const QString& from) {
        QString sql = QStringLiteral("(SELECT ") + (back ? QStringLiteral("MAX") : QStringLiteral("MIN")) +
                      QStringLiteral("(VICOD) FROM VISEIN INDEXED BY VISEIN_VPCOD WHERE VPCOD = ") +
                      values.place(vendor) + QStringLiteral(" AND ") +
                      likeCondition(values, QStringLiteral("VICOD"), pattern);
        if (!op.isEmpty()) sql += QStringLiteral(" AND VICOD ") + op + u' ' + from;
        return sql + u')';
    };
    const QString op = comparison(seek);
    const QString first = next(op, op.isEmpty() ? QString() : values.place(key.value(0)));
    const QString step = next(back ? QStringLiteral("<") : QStringLiteral(">"),
                              QStringLiteral("J.VICOD"));
    const QString sql =
        QStringLiteral("WITH RECURSIVE J(VICOD, N) AS (SELECT ") + first +
        QStringLiteral(", 1 UNION ALL SELECT ") + step +
        QStringLiteral(", N + 1 FROM J WHERE J.VICOD IS NOT NULL AND N < ") + values.place(limit) +
        QStringLiteral(") SELECT I.ICODE AS ICODE, I.INAME AS INAME, I.INUMB AS INUMB, I.ICONS "
                       "AS ICONS FROM J JOIN ITEM I ON I.ICODE = J.VICOD ORDER BY I.ICODE") +
        (back ? QStringLiteral(" DESC") : QString());
    return readRows(db, sql, values, seek);
}

// DG6: the vendor's purchase lines in VINX order (item, document, line), read from the
// index VISEIN_VPCOD with the key as a row value; prices masked without right 367.
ResultSet readVendorPurchases(SqliteConnection& db, const QString& vendor, const QString& pattern,
                              bool prices, Seek seek, const QVariantList& key, int limit) {
    Values values;
    QString sql = QStringLiteral(
                      "SELECT VCOD1, VPNAM, VICOD, VINAM, VTCOD, VINUM, VPOIN, %1 AS VUNIT, "
                      "%2 AS VINX, VSEQ FROM VISEIN INDEXED BY VISEIN_VPCOD WHERE VPCOD = ")
                      .arg(prices ? QStringLiteral("VUNIT") : QStringLiteral("'***.**'"),
                           SuiteSchema::vendorKey()) +
                  values.place(vendor) + QStringLiteral(" AND ") +
                  likeCondition(values, QStringLiteral("VICOD"), pattern);
    if (const QString op = comparison(seek); !op.isEmpty())
        sql += QStringLiteral(" AND (VICOD, VCOD1, VSEQ) ") + op + QStringLiteral(" (") +
               values.place(key.value(0)) + QStringLiteral(", ") + values.place(key.value(1)) +
               QStringLiteral(", ") + values.place(key.value(2)) + u')';
    const QString order = backwards(seek) ? QStringLiteral(" DESC") : QString();
    sql += QStringLiteral(" ORDER BY VICOD") + order + QStringLiteral(", VCOD1") + order +
           QStringLiteral(", VSEQ") + order + QStringLiteral(" LIMIT ") + values.place(limit);
    ResultSet set = readRows(db, sql, values, seek);
    // VSEQ served the key; the grid gets the frame's own columns.
    set.columns.removeLast();
    ResultRows rows;
    for (const ResultRows::Row& row : set.rows) rows.append(row.toList().mid(0, row.size() - 1));
    set.rows = rows;
    return set;
}

// Bytes of a character in the code page, as CONVERT(CHAR(n)) counts them.
int codePageBytes(QChar c) { return c.unicode() < 0x80 ? 1 : 2; }

// VINX split back: the item code filled to 17 bytes of the code page (or whole, when
// longer), the document code, 10000 + the line number in five digits. Where the item fills
// its 17 bytes, item and document meet without a blank: of the ways to part them, the one
// that names a line of the vendor's is taken; with none (the line went away meanwhile), the
// item of the first 17 bytes. Empty: before every line.
QVariantList vendorKey(SqliteConnection& db, const QString& vendor, const QString& text) {
    if (text.isEmpty()) return {QString(), QString(), -1};
    bool ok = false;
    const int line = text.right(5).toInt(&ok);
    const QString rest = text.chopped(qMin<qsizetype>(5, text.size()));
    qsizetype filled = 0;  // the characters of the item's 17 bytes
    for (int bytes = 0; filled < rest.size() && bytes < SuiteSchema::VendorKeyItemBytes; ++filled)
        bytes += codePageBytes(rest[filled]);
    if (text.size() <= 5 || !ok || line < 10000 || filled == 0)
        refuse(QStringLiteral("資料鍵值[ %1 ]不正確!").arg(text));
    const auto part = [&](qsizetype at) -> QVariantList {
        return {trimmedEnd(rest.left(at)), rest.mid(at), line - 10000};
    };
    if (rest[filled - 1] != u' ') {
        for (qsizetype at = filled; at < rest.size(); ++at) {
            const QVariantList key = part(at);
            if (db.scalar(QStringLiteral("SELECT 1 FROM VISEIN INDEXED BY VISEIN_VPCOD WHERE "
                                         "VPCOD = ?1 AND VICOD = ?2 AND VCOD1 = ?3 AND VSEQ = ?4"),
                          {vendor, key[0], key[1], key[2]})
                    .isValid())
                return key;
        }
    }
    return part(filled);
}

// The page keys of DG4, DG5 and DG6: Page Up, Page Down, End, Home, Up at the first row and
// Down at the last.
ResultSet vendorPage(SqliteConnection& db, const ProcedureCall& call, const QString& grid) {
    const QString flag = call.text(1);
    if (!same(flag, "True") && !same(flag, "False"))
        refuse(QStringLiteral("顯示旗標[ %1 ]不正確,應為 True 或 False!").arg(flag));
    const int key = int(call.integer(2));
    if (key == 99 || key == 13 || key == 80)
        refuse(QStringLiteral("按鍵代碼[ %1 ]不正確!").arg(key));
    const Move move = moveOf(call, false);
    const QString vendor = trimmedEnd(call.text(5));
    const QString anchor = call.text(6);
    const QString pattern = call.text(9);
    if (same(grid, "DG4")) {
        const Pager pager([&](Seek seek, const QVariantList& k,
                              int limit) { return readVendors(db, pattern, seek, k, limit); },
                          [](const QVariantList& row) { return QVariantList{row.value(0)}; },
                          true);
        return pager.page(move, {anchor});
    }
    if (vendor.isEmpty()) refuse(QStringLiteral("廠商代號不可空白"));
    if (same(grid, "DG5")) {
        const Pager pager(
            [&](Seek seek, const QVariantList& k, int limit) {
                return readVendorItems(db, vendor, pattern, seek, k, limit);
            },
            [](const QVariantList& row) { return QVariantList{row.value(0)}; }, true);
        return pager.page(move, {anchor});
    }
    const bool prices = same(flag, "True");
    const Pager pager(
        [&](Seek seek, const QVariantList& k, int limit) {
            return readVendorPurchases(db, vendor, pattern, prices, seek, k, limit);
        },
        [](const QVariantList& row) {
            return QVariantList{row.value(2), row.value(0), row.value(8).toString().right(5).toInt() - 10000};
        },
        false);
    return pager.page(move, vendorKey(db, vendor, anchor));
}

// The item code list of the entry frame (DG2): the codes matching the pattern (argument
// 10) in code order, paged from the anchor code (argument 7) as the item list pages. The
// pattern's fixed start bounds the walk on ITEM's key; tsql_like decides on the codes in it.
ResultSet codeListPage(SqliteConnection& db, const ProcedureCall& call) {
    const QString flag = call.text(1);
    if (!same(flag, "True") && !same(flag, "False"))
        refuse(QStringLiteral("顯示旗標[ %1 ]不正確,應為 True 或 False!").arg(flag));
    const QString pattern = call.text(9);
    const auto read = [&](Seek seek, const QVariantList& key, int limit) {
        return readCodes(db, QStringLiteral("SELECT ICODE, INAME, INUMB, ICONS FROM ITEM"),
                         QStringLiteral("ICODE"), pattern, seek, key, limit);
    };
    const Pager pager(read, [](const QVariantList& row) { return QVariantList{row.value(0)}; },
                      true);
    return pager.page(moveOf(call, true), {call.text(6)});
}

ResultSets spF8(SqliteConnection& db, const ProcedureCall& call) {
    const QString grid = call.text(0);
    const bool list = same(grid, "DG1");
    if (same(grid, "DG2")) {
        option(call, 7, QStringLiteral("零不顯示"));
        option(call, 8, QStringLiteral("停產顯示"));
        return {heading(db, call, trimmedEnd(call.text(4))), codeListPage(db, call)};
    }
    const bool vendor = same(grid, "DG4") || same(grid, "DG5") || same(grid, "DG6");
    if (!list && !vendor && !same(grid, "DG3")) {
        refuse(QStringLiteral("表格名稱[ %1 ]不正確,應為 DG1、DG2、DG3、DG4、DG5 或 DG6!").arg(grid));
    }
    ListOptions options;
    options.warehouse = trimmedEnd(call.text(4));
    options.zeroHidden = option(call, 7, QStringLiteral("零不顯示"));
    options.stoppedShown = option(call, 8, QStringLiteral("停產顯示"));
    const ResultSet head = heading(db, call, options.warehouse);
    if (vendor) return {head, vendorPage(db, call, grid)};
    return {head, list ? listPage(db, call, options) : historyPage(db, call)};
}

// The item's stock per warehouse of the type, from the anchor on; warehouses are few, so the
// names are matched here rather than by an index.
ResultSets warehouseStock(SqliteConnection& db, const ProcedureCall& call) {
    const QString pattern = call.text(2);
    ResultSet set = db.query(
        QStringLiteral("SELECT Y.ITCOD AS ITCOD, Y.ITNAM AS ITNAM, S.SNUMB AS SNUMB FROM ITYP Y "
                       "JOIN STOC S ON S.SITEM = ?1 AND S.STCOD = Y.ITCOD WHERE Y.ITYPE = ?2 "
                       "AND Y.ITCOD >= ?3 ORDER BY Y.ITCOD"),
        {call.text(4), call.text(3), call.text(1)});
    set.rows.removeIf([&](const QVariantList& row) {
        return !TsqlFunctions::like(row.value(1).toString(), pattern);
    });
    return {set};
}
}  // namespace

void addTo(ProcedureRegistry& registry) {
    registry.add(QStringLiteral("SP_F8"),
                 {"@GRID", "@FLAG", "@KEY INT", "@LSTOC", "@STCOD", "@ICODE", "@TEXT7", "@ZERO",
                  "@STOP", "@TEXT10"},
                 10, spF8, ProcedureAccess::Reads);
    registry.add(QStringLiteral("SF_ZQ2K_ITYP_F2"),
                 {"@MODE INT", "@ANCHOR", "@PATTERN", "@ITYPE", "@ICODE"}, 5, warehouseStock,
                 ProcedureAccess::Reads);
}
}  // namespace InquiryProcedures
