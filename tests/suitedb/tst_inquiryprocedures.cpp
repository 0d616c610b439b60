// The item inquiry's procedures on small item sets made for each case: every key number's
// page of the item list at both ends and in between (15, 16 and 40 items), the options and
// the warehouse filter, the cost flags, the refusals, the purchase history's pages and its
// price mask, and the stock per warehouse.
#include <QTemporaryDir>
#include <QtTest>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"

namespace {
// A database with the schema, warehouses 01 總倉 and 02 台北門市倉, and the items a case adds.
class ItemSet {
public:
    ItemSet() : m_db(m_dir.filePath(QStringLiteral("t.zqdb")), EmbeddedDatabase::OpenMode::Create) {
        SuiteSchema::create(c());
        for (const auto& [code, name] : {std::pair("01", "總倉"), std::pair("02", "台北門市倉")})
            c().exec(QStringLiteral("INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', ?1, ?2)"),
                     {QLatin1String(code), QString::fromUtf8(name)});
        c().exec(
            QStringLiteral("INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('2', 'MS', '滑鼠')"));
    }
    SqliteConnection& c() { return m_db.connection(); }
    EmbeddedDatabase& db() { return m_db; }

    // An item with its stock in warehouse 01 (and 02 when given), stopped or not.
    void item(const QString& code, double stock = 5, bool stopped = false,
              std::optional<double> second = std::nullopt) {
        c().script(QStringLiteral("INSERT INTO ITEM (ICODE, INAME, INUMB, ISOUR) VALUES ('%1', "
                                  "'品名%1', %2, 100); INSERT INTO ITEM1 (ICODE1, ISOUR2) VALUES "
                                  "('%1', 90); INSERT INTO ITEM3 (ICODE3, STOPSALE) VALUES ('%1', "
                                  "%3); INSERT INTO STOC (SITEM, STCOD, SNUMB) VALUES ('%1', '01', "
                                  "%4)")
                       .arg(code, QString::number(stock + second.value_or(0)),
                            QString::number(stopped ? 1 : 0), QString::number(stock)));
        if (second)
            c().exec(QStringLiteral("INSERT INTO STOC (SITEM, STCOD, SNUMB) VALUES (?1, '02', ?2)"),
                     {code, *second});
    }
    // Items I01 to In.
    void numbered(int n) {
        for (int i = 1; i <= n; ++i) item(QStringLiteral("I%1").arg(i, 2, 10, QLatin1Char('0')));
    }

private:
    QTemporaryDir m_dir;
    EmbeddedDatabase m_db;
};

// The call text as the window sends it, options bare.
QString f8(const QString& grid, const QString& flag, int key, const QString& filter,
           const QString& code, const QString& seven = QString(), int zero = 0, int stopped = 1) {
    return QStringLiteral("EXEC SP_F8 %1,%2,%3,'01',%4,%5,%6,%7,%8,''")
        .arg(SqlLiteral(grid), SqlLiteral(flag), SqlLiteral(QVariant(key)), SqlLiteral(filter),
             SqlLiteral(code), SqlLiteral(seven), SqlLiteral(QVariant(zero)),
             SqlLiteral(QVariant(stopped)));
}
QString list(int key, const QString& code = QString(), const QString& filter = QString(),
             int zero = 0, int stopped = 1) {
    return f8(QStringLiteral("DG1"), QStringLiteral("True"), key, filter, code, QString(), zero,
              stopped);
}

QStringList column(const ResultSet& set, const QString& name) {
    QStringList out;
    const int i = set.columnIndex(name);
    for (const QVariantList& row : set.rows) out << row.value(i).toString();
    return out;
}

// A page of codes in short: "first-last count", or "-" when empty. Fails when the page is
// out of order or longer than fifteen rows.
QString span(const ResultSet& set) {
    const QStringList codes = column(set, set.columns.value(0));
    for (qsizetype i = 1; i < codes.size(); ++i)
        if (codes[i - 1] >= codes[i]) return QStringLiteral("out of order: ") + codes.join(u',');
    if (codes.size() > 15) return QStringLiteral("too long");
    if (codes.isEmpty()) return QStringLiteral("-");
    return QStringLiteral("%1-%2 %3").arg(codes.first(), codes.last()).arg(codes.size());
}

QString refusal(EmbeddedDatabase& db, const QString& text) {
    try {
        db.execute(text);
    } catch (const DbError& e) {
        return e.number() == DbErrorNumber::Syntax ? e.description() : QStringLiteral("number?");
    }
    return QString();
}
}  // namespace

class InquiryProceduresTest : public QObject {
    Q_OBJECT

private slots:
    // Each key number on 40 items I01, I02, ..., and the edges of a page on 16, 3 and none:
    // the page as first-last count. (Every grid pages alike; the other grids' tests show that
    // their reads seek as these do.)
    void listKeys() {
        const std::tuple<int, int, const char*, const char*> cases[] = {
            {40, 99, "", "I01-I15 15"},       // open
            {40, 99, "I20", "I20-I34 15"},    // open at an item is 13
            {40, 36, "I30", "I01-I15 15"},    // home
            {40, 35, "", "I26-I40 15"},       // end
            {40, 33, "I20", "I06-I20 15"},    // page up ends with the anchor
            {40, 33, "I14", "I01-I15 15"},    // page up, fewer before: first page
            {40, 34, "I20", "I20-I34 15"},    // page down starts with the anchor
            {40, 34, "I27", "I26-I40 15"},    // page down, fewer left: last page
            {40, 38, "I20", "I19-I33 15"},    // up on the first row scrolls by one
            {40, 38, "I01", "I01-I15 15"},    // up at the first item
            {40, 40, "I20", "I07-I21 15"},    // down on the last row scrolls by one
            {40, 40, "I40", "I26-I40 15"},    // down at the last item
            {40, 13, "I205", "I21-I35 15"},   // position between items
            {40, 13, "i20  ", "I20-I34 15"},  // position ignores case and trailing blanks
            {40, 80, "I22", "I22-I36 15"},    // lookup hand-over
            {16, 33, "I15", "I01-I15 15"},    // page up one short
            {3, 35, "", "I01-I03 3"},         // end of a short list
            {0, 34, "I01", "-"},              // empty list
        };
        std::unique_ptr<ItemSet> set;
        int made = -1;
        for (const auto& [items, key, anchor, page] : cases) {
            if (items != made) (set = std::make_unique<ItemSet>())->numbered(made = items);
            const QString got = span(set->db().execute(list(key, anchor)).value(1));
            QVERIFY2(
                got == QLatin1String(page),
                qPrintable(
                    QString("%1 items, key %2 at '%3': %4").arg(items).arg(key).arg(anchor, got)));
        }
    }

    // The heading names the stock shown; the grid's first five columns lead the page, which
    // has the same columns with or without a warehouse filter.
    void listColumnsAndHeading() {
        ItemSet set;
        set.numbered(1);
        const ResultSets sets = set.db().execute(list(99));
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0].columns, QStringList({"LSTOC", "CAPTION"}));
        QCOMPARE(sets[0].rows,
                 QList<QVariantList>({{QStringLiteral("01"), QStringLiteral("總庫存")}}));
        QCOMPARE(sets[1].columns.mid(0, 5),
                 QStringList({"ICODE", "INAME", "ICONS", "IPOIN", "SNUMB"}));
        QCOMPARE(set.db().execute(list(99, QString(), "02"))[1].columns, sets[1].columns);
    }

    // Stopped items (ITEM3.STOPSALE 1) and items whose shown stock is 0 are hidden on request
    // on every page; a warehouse filter lists only the items with stock rows there and shows
    // that stock; paging counts the filtered items only.
    void optionsAndWarehouseFilter() {
        ItemSet set;
        for (int i = 1; i <= 30; ++i) {
            const QString code = QStringLiteral("I%1").arg(i, 2, 10, QLatin1Char('0'));
            const bool inSecond = i % 2 == 0;
            set.item(code, i % 5 == 0 ? 0 : i, i % 3 == 0,
                     inSecond ? std::optional<double>(i % 4 == 0 ? 0 : 100 + i) : std::nullopt);
        }
        EmbeddedDatabase& db = set.db();
        const auto codes = [&](const QString& text) {
            return column(db.execute(text)[1], "ICODE");
        };
        QCOMPARE(codes(list(36, "", "", 0, 0)).join(u','),
                 QStringLiteral("I01,I02,I04,I05,I07,I08,I10,I11,I13,I14,I16,I17,I19,I20,I22"));
        // Zero hidden without a filter: the total counts, so I10 and I30 (stock in 02 only)
        // stay and I05, I15, I20, I25 go.
        QCOMPARE(codes(list(35, "", "", 1, 1)).join(u','),
                 QStringLiteral("I13,I14,I16,I17,I18,I19,I21,I22,I23,I24,I26,I27,I28,I29,I30"));

        // Warehouse 02: the even items; I04, I08, ... hold 0 there.
        const ResultSets second = db.execute(list(36, "", "02"));
        QCOMPARE(second[0].rows[0][1].toString(), QStringLiteral("台北門市倉庫存"));
        QCOMPARE(column(second[1], "ICODE").mid(0, 3), QStringList({"I02", "I04", "I06"}));
        QCOMPARE(column(second[1], "SNUMB").mid(0, 2), QStringList({"102", "0"}));
        QCOMPARE(column(second[1], "INUMB").mid(0, 2), QStringList({"104", "4"}));
        QCOMPARE(column(second[1], "STCOD").first(), QStringLiteral("02"));
        // Zero hidden in 02 and stopped hidden, from either end.
        QCOMPARE(codes(list(36, "", "02", 1, 0)).join(u','), "I02,I10,I14,I22,I26");
        QCOMPARE(codes(list(34, "I11", "02", 1, 0)).join(u','), "I02,I10,I14,I22,I26");
        // Ten of 02's fifteen lie from I12 on, so the page is the last fifteen of 02. An
        // anchor the options drop (the stopped I27, I06) works from where it sorts.
        QCOMPARE(codes(list(13, "I12", "02")).first(), QStringLiteral("I02"));
        QCOMPARE(span(db.execute(list(40, "I27", "", 0, 0))[1]), QStringLiteral("I07-I28 15"));
        QCOMPARE(codes(list(38, "I06", "", 0, 0)).first(), QStringLiteral("I05"));
    }

    // Options come bare or quoted, 0 or 1; anything else is refused, as are unknown grids,
    // flags, key numbers, warehouses, keys and a wrong number of arguments, and a vendor grid
    // without its vendor: one of each with the words of its message.
    void optionValuesAndRefusals() {
        ItemSet set;
        set.numbered(3);
        EmbeddedDatabase& db = set.db();
        const QString head = "EXEC SP_F8 'DG1','True',99,'01','','','',";
        for (const char* options : {"0,1", "'0','1'", "0 , '1' "})
            QCOMPARE(db.execute(head + options + ",''")[1].rows.size(), 3);
        for (const char* options : {"2,1", "NULL,1", "0,1.0", "'',1", "0,'01'"})
            QVERIFY2(refusal(db, head + options + ",''").contains("應為 0 或 1"), options);
        QVERIFY(refusal(db, head + "0,'x',''").contains("停產顯示"));
        // Grid and flag compare as the server compares texts.
        QCOMPARE(db.execute(f8("dg1 ", "true2", 99, "", ""))[1].rows.size(), 3);

        const char* const refused[][2] = {
            {"'DG9','True',99,'01','','','',0,1,''", "表格名稱[ DG9 ]不正確"},
            {"'DG2','True2',99,'01','','','',0,1,''", "顯示旗標[ True2 ]"},
            {"'DG1','Yes',99,'01','','','',0,1,''", "顯示旗標[ Yes ]"},
            {"'DG1','True',37,'01','','','',0,1,''", "按鍵代碼[ 37 ]"},
            {"'DG4','True',99,'01','','','',0,1,'%'", "按鍵代碼[ 99 ]"},
            {"'DG1','True',99,'01','09','','',0,1,''", "倉庫代號[ 09 ]不存在"},
            {"'DG1','True','x','01','','','',0,1,''", "轉換"},
            {"'DG1','True',99,'01','','','',0,1", "@TEXT10"},
            {"'DG1','True',99,'01','','','',0,1,'',''", "太多"},
            {"'DG3','True',34,'01','','I01','11401010001xyzab',0,1,''", "資料鍵值"},
            {"'DG6','True',34,'01','','P01','I01',0,1,'%'", "資料鍵值"},
            {"'DG5','True',36,'01','',' ','',0,1,'%'", "廠商代號不可空白"},
        };
        for (const auto& [arguments, words] : refused) {
            const QString message = refusal(db, QStringLiteral("EXEC SP_F8 ") + arguments);
            QVERIFY2(message.contains(QString::fromUtf8(words)), qPrintable(arguments + message));
        }
    }

    // True2 shows both costs, True the item's cost only, False neither.
    void costFlags() {
        ItemSet set;
        set.numbered(1);
        const auto costs = [&](const char* flag) {
            const ResultSet page = set.db().execute(f8("DG1", flag, 99, "", ""))[1];
            return column(page, "ISOUR") + column(page, "ISOUR2");
        };
        QCOMPARE(costs("True2"), QStringList({"100", "90"}));
        QCOMPARE(costs("True"), QStringList({"100", ""}));
        QCOMPARE(costs("False"), QStringList({"", ""}));
    }

    // The purchase history of I01: 20 lines over 8 documents (one with a short code, its key
    // padded), and lines of another item between them; paged by key, prices masked without
    // the right, an item without lines still naming its columns.
    void purchaseHistory() {
        ItemSet set;
        set.numbered(3);
        QStringList keys;  // I01's, oldest first
        int n = 0;
        for (int doc = 1; doc <= 8; ++doc) {
            const QString code = doc == 1 ? QStringLiteral("1131201")
                                          : QStringLiteral("114010%1000%2").arg(doc).arg(doc);
            for (int seq = 1; seq <= (doc % 3) + 2 && n < 20; ++seq, ++n) {
                for (const char* item : {"I01", "I02"})
                    set.c().exec(QStringLiteral("INSERT INTO VISEIN (VCOD1, VSEQ, VDAT1, VICOD, "
                                                "VINUM, VUNIT, VTOTA) VALUES (?1, ?2, '114.01.01', "
                                                "?3, 2, 50, 100)"),
                                 {code, seq, QLatin1String(item)});
                keys << code.leftJustified(11, u' ') + QString::number(10000 + seq);
            }
        }
        QCOMPARE(keys.size(), 20);
        QCOMPARE(keys[0], QStringLiteral("1131201    10001"));
        EmbeddedDatabase& db = set.db();
        const auto page = [&](int key, const QString& anchor, const char* flag = "True") {
            return db.execute(f8("DG3", flag, key, "", "I01", anchor))[1];
        };
        const auto shows = [&](int key, const QString& anchor) {
            return column(page(key, anchor), "HINX");
        };
        QCOMPARE(shows(99, ""), keys.mid(5));
        QCOMPARE(shows(36, ""), keys.mid(0, 15));
        QCOMPARE(shows(33, keys[17]), keys.mid(3, 15));
        QCOMPARE(shows(34, keys[12]), keys.mid(12));
        QCOMPARE(shows(38, keys[4]), keys.mid(3, 15));
        QCOMPARE(shows(40, keys[15]), keys.mid(2, 15));

        const ResultSet masked = page(36, "", "False");
        QCOMPARE(column(masked, "VUNIT").first(), QStringLiteral("***.**"));
        QCOMPARE(column(masked, "VTOTA").first(), QStringLiteral("***.**"));
        QCOMPARE(column(page(36, ""), "VUNIT").first(), QStringLiteral("50"));

        const ResultSet none = db.execute(f8("DG3", "True", 99, "", "I03"))[1];
        QVERIFY(none.rows.isEmpty());
        QCOMPARE(none.columns.value(9), QStringLiteral("HINX"));
    }

    // The vendor lookup's grids: vendors (DG4), the vendor's items (DG5) and its purchase
    // lines (DG6) by key number, DG6 with the columns of the frame's own first page and its
    // pages continuing that page's order.
    void vendorGrids() {
        ItemSet set;
        set.numbered(20);
        for (int p = 1; p <= 20; ++p)
            set.c().exec(QStringLiteral("INSERT INTO PART (PCODE, PNAM2) VALUES (?1, ?2)"),
                         {QStringLiteral("P%1").arg(p, 2, 10, QLatin1Char('0')),
                          QStringLiteral("廠商%1").arg(p)});
        // P01 bought items I01 to I18, two lines each, and I19 from P02.
        for (int i = 1; i <= 19; ++i)
            for (int line = 1; line <= 2; ++line)
                set.c().exec(
                    QStringLiteral("INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VINAM, VPCOD, "
                                   "VPNAM, VINUM, VUNIT) VALUES (?1, ?2, ?3, 'x', ?4, "
                                   "'聯強', 1, 50)"),
                    {QStringLiteral("114010%1").arg(1000 + i * 7 % 19, 5, 10, QLatin1Char('0')),
                     line, QStringLiteral("I%1").arg(i, 2, 10, QLatin1Char('0')),
                     i == 19 ? "P02" : "P01"});
        EmbeddedDatabase& db = set.db();
        const auto call = [&](const char* grid, int key, const QString& anchor,
                              const QString& pattern = QStringLiteral("%"),
                              const char* flag = "True") {
            const QString vendor = QString(grid) == "DG4" ? "" : "P01";
            return db.execute(QStringLiteral("EXEC SP_F8 '%1','%2',%3,'01','','%4','%5',0,1,%6")
                                  .arg(QLatin1String(grid), QLatin1String(flag))
                                  .arg(key)
                                  .arg(vendor, anchor, SqlLiteral(pattern)))[1];
        };
        // The vendors are read as the entry frame's code list (tst_itemprocedures).
        QCOMPARE(span(call("DG4", 36, "", "p1%")), QStringLiteral("P10-P19 10"));
        // Only what the vendor sold, never I19 of another vendor nor I20 of nobody.
        QCOMPARE(span(call("DG5", 35, "")), QStringLiteral("I04-I18 15"));
        QCOMPARE(span(call("DG5", 34, "I10")), QStringLiteral("I04-I18 15"));
        QCOMPARE(span(call("DG5", 36, "", "I1%")), QStringLiteral("I10-I18 9"));

        // DG6 goes on from the frame's first page in the same order.
        const QString first =
            "SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN,VUNIT,VINX "
            "FROM VF8J WHERE VPCOD ='P01' AND VICOD Like '%' ORDER BY VINX";
        const ResultSet shown = db.execute(first)[0];
        QCOMPARE(call("DG6", 36, "").columns, shown.columns);
        QCOMPARE(call("DG6", 36, "").rows, shown.rows);
        const QString last = column(shown, "VINX").last();
        const ResultSet next = db.execute(
            QString(first).replace("ORDER BY", "AND VINX >= " + SqlLiteral(last) + " ORDER BY"))[0];
        QCOMPARE(call("DG6", 34, last).rows, next.rows);
        QCOMPARE(column(call("DG6", 33, column(next, "VINX").last()), "VINX"),
                 column(next, "VINX"));
        const QStringList end = column(call("DG6", 35, ""), "VICOD");
        QCOMPARE(end.size(), 15);
        QCOMPARE(end.last(), QStringLiteral("I18"));
        QCOMPARE(column(call("DG6", 36, "", "I05%", "False"), "VUNIT"),
                 QStringList({"***.**", "***.**"}));
    }

    // Reads never wait for a writer: the list and the stock answer while another connection
    // holds the write lock.
    void readsDuringAWrite() {
        ItemSet set;
        set.numbered(2);
        EmbeddedDatabase other(set.c().path());
        other.connection().script(QStringLiteral("BEGIN IMMEDIATE; UPDATE ITEM SET INUMB = 9"));
        set.db().setBusyTimeout(100);
        QCOMPARE(set.db().execute(list(99))[1].rows.size(), 2);
        QCOMPARE(set.db().execute("SF_ZQ2K_ITYP_F2 36,'','%','1','I01'")[0].rows.size(), 1);
        other.connection().script(QStringLiteral("ROLLBACK"));
    }

    // The stock of an item per warehouse of the type with its name, by warehouse code; the
    // item code as the server compares texts, the pattern and code filters, the type.
    void warehouseStock() {
        ItemSet set;
        set.item("I01", 7, false, 3);
        EmbeddedDatabase& db = set.db();
        const auto rows = [&](const char* arguments) {
            const ResultSet stock =
                db.execute(QStringLiteral("SF_ZQ2K_ITYP_F2 36,") + arguments)[0];
            QStringList out;
            for (const QVariantList& r : stock.rows)
                out << r.value(0).toString() + u' ' + r.value(1).toString() + u' ' +
                           r.value(2).toString();
            return stock.columns.join(u' ') + u':' + out.join(u',');
        };
        QCOMPARE(rows("'','%','1','i01 '"), "ITCOD ITNAM SNUMB:01 總倉 7,02 台北門市倉 3");
        QCOMPARE(rows("'','%門市%','1','I01'"), "ITCOD ITNAM SNUMB:02 台北門市倉 3");
        QCOMPARE(rows("'02','%','1','I01'"), "ITCOD ITNAM SNUMB:02 台北門市倉 3");
        QCOMPARE(rows("'','%','2','I01'"), "ITCOD ITNAM SNUMB:");
        QCOMPARE(rows("'','%','1','I09'"), "ITCOD ITNAM SNUMB:");
    }
};

QTEST_GUILESS_MAIN(InquiryProceduresTest)
#include "tst_inquiryprocedures.moc"
