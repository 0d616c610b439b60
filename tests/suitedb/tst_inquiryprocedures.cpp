// The item inquiry's procedures on small item sets made for each case.
#include <QTemporaryDir>
#include <QtTest>

#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"

namespace {
// A database with the schema, warehouses 01 總倉 and 02 台北門市倉, and the items a case adds.
struct ItemSet {
    QTemporaryDir dir;
    EmbeddedDatabase db{dir.filePath(QStringLiteral("t.zqdb")), EmbeddedDatabase::OpenMode::Create};

    ItemSet() {
        SuiteSchema::create(c());
        c().script(
            "INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '01', '總倉'), ('1', '02', "
            "'台北門市倉'), ('2', 'MS', '滑鼠')");
    }
    SqliteConnection& c() { return db.connection(); }

    // An item with its stock in warehouse 01 (and 02 when given), stopped or not.
    void item(const QString& code, double stock = 5, bool stopped = false,
              std::optional<double> second = std::nullopt) {
        c().script(QString("INSERT INTO ITEM (ICODE, INAME, INUMB, ISOUR) VALUES ('%1', '品名%1', "
                           "%2, 100); INSERT INTO ITEM1 (ICODE1, ISOUR2) VALUES ('%1', 90); INSERT "
                           "INTO ITEM3 (ICODE3, STOPSALE) VALUES ('%1', %3); INSERT INTO STOC "
                           "(SITEM, STCOD, SNUMB) VALUES ('%1', '01', %4)%5")
                       .arg(code, QString::number(stock + second.value_or(0)),
                            QString::number(stopped ? 1 : 0), QString::number(stock),
                            second ? QString(", ('%1', '02', %2)").arg(code).arg(*second) : ""));
    }
    // Items I01 to In.
    void numbered(int n) {
        for (int i = 1; i <= n; ++i) item(QString("I%1").arg(i, 2, 10, QChar('0')));
    }
};

// The call text as the window sends it, options bare.
QString f8(const QString& grid, const QString& flag, int key, const QString& filter,
           const QString& code, const QString& seven = QString(), int zero = 0, int stopped = 1) {
    return QStringLiteral("EXEC SP_F8 %1,%2,%3,'01',%4,%5,%6,%7,%8,''")
        .arg(SqlLiteral(grid), SqlLiteral(flag), SqlLiteral(QVariant(key)), SqlLiteral(filter),
             SqlLiteral(code), SqlLiteral(seven), SqlLiteral(QVariant(zero)),
             SqlLiteral(QVariant(stopped)));
}
QString list(int key, const QString& code = "", const QString& filter = "", int zero = 0,
             int stopped = 1) {
    return f8("DG1", "True", key, filter, code, "", zero, stopped);
}

QStringList column(const ResultSet& set, const QString& name) {
    QStringList out;
    const int i = set.columnIndex(name);
    for (const QVariantList& row : set.rows) out << row.value(i).toString();
    return out;
}

// A page as "first-last count" or "-"; out of order or over fifteen rows fails.
QString span(const ResultSet& set) {
    const QStringList codes = column(set, set.columns.value(0));
    for (qsizetype i = 1; i < codes.size(); ++i)
        if (codes[i - 1] >= codes[i] || i >= 15)
            return "out of order or too long: " + codes.join(u',');
    return codes.isEmpty() ? "-"
                           : QString("%1-%2 %3").arg(codes.first(), codes.last()).arg(codes.size());
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
    // Each key number on 40 items, and the edges of a page on 16 and none.
    void listKeys() {
        const std::tuple<int, int, const char*, const char*> cases[] = {
            {40, 99, "I20", "I20-I34 15"},    // open at an item is 13
            {40, 36, "I30", "I01-I15 15"},    // home
            {40, 35, "", "I26-I40 15"},       // end
            {40, 33, "I20", "I06-I20 15"},    // page up ends with the anchor
            {40, 34, "I20", "I20-I34 15"},    // page down starts with the anchor
            {40, 34, "I27", "I26-I40 15"},    // page down, fewer left: last page
            {40, 38, "I20", "I19-I33 15"},    // up on the first row scrolls by one
            {40, 38, "I01", "I01-I15 15"},    // up at the first item
            {40, 40, "I20", "I07-I21 15"},    // down on the last row scrolls by one
            {40, 40, "I40", "I26-I40 15"},    // down at the last item
            {40, 13, "i20  ", "I20-I34 15"},  // position ignores case and trailing blanks
            {16, 33, "I15", "I01-I15 15"},    // page up, a whole page before
            {16, 33, "I10", "I01-I15 15"},    // page up, fewer before: refilled to a page
            {0, 34, "I01", "-"},              // empty list
        };
        std::unique_ptr<ItemSet> set;
        int made = -1;
        for (const auto& [items, key, anchor, page] : cases) {
            if (items != made) (set = std::make_unique<ItemSet>())->numbered(made = items);
            const QString got = span(set->db.execute(list(key, anchor)).value(1));
            QVERIFY2(got == page,
                     qPrintable(QString("%1 %2 %3: %4").arg(items).arg(key).arg(anchor, got)));
        }
    }

    // Heading, columns, hidden stopped and zero items, and the warehouse filter's stock.
    void optionsAndWarehouseFilter() {
        ItemSet set;
        for (int i = 1; i <= 30; ++i)
            set.item(QString("I%1").arg(i, 2, 10, QChar('0')), i % 5 == 0 ? 0 : i, i % 3 == 0,
                     i % 2 == 0 ? std::optional<double>(i % 4 == 0 ? 0 : 100 + i) : std::nullopt);
        EmbeddedDatabase& db = set.db;
        const auto codes = [&](const QString& text) {
            return column(db.execute(text)[1], "ICODE").join(u',');
        };
        const ResultSets all = db.execute(list(99)), second = db.execute(list(36, "", "02"));
        QCOMPARE(ShowResults({all[0], second[0]}), "01|總庫存 // 01|台北門市倉庫存");
        QCOMPARE(all[1].columns.mid(0, 5),
                 QStringList({"ICODE", "INAME", "ICONS", "IPOIN", "SNUMB"}));
        QCOMPARE(second[1].columns, all[1].columns);
        // Zero hidden, no filter: the total counts (I10, I30 stay; I05, I15, I20, I25 go).
        QCOMPARE(codes(list(35, "", "", 1, 1)),
                 "I13,I14,I16,I17,I18,I19,I21,I22,I23,I24,I26,I27,I28,I29,I30");
        // Warehouse 02: the even items, with their stock there; I04, I08, ... hold 0.
        QCOMPARE(column(second[1], "ICODE").mid(0, 2) + column(second[1], "SNUMB").mid(0, 2),
                 QStringList({"I02", "I04", "102", "0"}));
        QCOMPARE(codes(list(34, "I11", "02", 1, 0)), "I02,I10,I14,I22,I26");
        // An anchor the options drop (the stopped I27) works from where it sorts.
        QCOMPARE(span(db.execute(list(40, "I27", "", 0, 0))[1]), QStringLiteral("I07-I28 15"));
    }

    // Options and arguments checked one by one; the purchase history paged.
    void optionValuesRefusalsAndHistory() {
        // Options bare or quoted, 0 or 1; each kind of bad argument refused with its words.
        ItemSet set;
        set.numbered(3);
        EmbeddedDatabase& db = set.db;
        const QString head = "EXEC SP_F8 'DG1','True',99,'01','','','',";
        for (const char* options : {"'0','1'", "0 , '1' "})
            QCOMPARE(db.execute(head + options + ",''")[1].rows.size(), 3);
        for (const char* options : {"2,1", "NULL,1", "0,1.0", "'',1", "0,'01'"})
            QVERIFY2(refusal(db, head + options + ",''").contains("應為 0 或 1"), options);
        QVERIFY(refusal(db, head + "0,'x',''").contains("停產顯示"));
        // Grid and flag compare as texts; True2 shows both costs, True one, False none.
        QCOMPARE(db.execute(f8("dg1 ", "true2", 99, "", ""))[1].rows.size(), 3);
        for (const auto& [flag, costs] :
             {std::pair("True2", "100|90"), std::pair("True", "100|"), std::pair("False", "|")}) {
            const ResultSet page = db.execute(f8("DG1", flag, 99, "", ""))[1];
            QCOMPARE(column(page, "ISOUR").value(0) + u'|' + column(page, "ISOUR2").value(0),
                     costs);
        }
        const char* const refused[][2] = {
            {"'DG9','True',99,'01','','','',0,1,''", "表格名稱[ DG9 ]不正確"},
            {"'DG2','True2',99,'01','','','',0,1,''", "顯示旗標[ True2 ]"},
            {"'DG1','True',37,'01','','','',0,1,''", "按鍵代碼[ 37 ]"},
            {"'DG4','True',99,'01','','','',0,1,'%'", "按鍵代碼[ 99 ]"},
            {"'DG1','True',99,'01','09','','',0,1,''", "倉庫代號[ 09 ]不存在"},
            {"'DG1','True','x','01','','','',0,1,''", "轉換"},
            {"'DG1','True',99,'01','','','',0,1", "@TEXT10"},
            {"'DG1','True',99,'01','','','',0,1,'',''", "太多"},
            {"'DG3','True',34,'01','','I01','11401010001xyzab',0,1,''", "資料鍵值"},
            {"'DG5','True',36,'01','',' ','',0,1,'%'", "廠商代號不可空白"},
        };
        for (const auto& [arguments, words] : refused) {
            const QString message = refusal(db, QStringLiteral("EXEC SP_F8 ") + arguments);
            QVERIFY2(message.contains(QString::fromUtf8(words)), qPrintable(arguments + message));
        }
        // I01's purchase lines (one short document code) paged by key, prices masked.
        QStringList keys;  // I01's, oldest first
        for (int doc = 1; doc <= 8; ++doc) {
            const QString code =
                doc == 1 ? "1131201"
                         : "114010" + QString::number(doc) + "00" + QString::number(doc);
            for (int seq = 1; seq <= (doc % 3) + 2 && keys.size() < 20; ++seq) {
                set.c().exec(
                    "INSERT INTO VISEIN (VCOD1, VSEQ, VDAT1, VICOD, VINUM, VUNIT, VTOTA) "
                    "VALUES (?1, ?2, '114.01.01', 'I01', 2, 50, 100), (?1, ?2, "
                    "'114.01.01', 'I02', 2, 50, 100)",
                    {code, seq});
                keys << code.leftJustified(11, u' ') + QString::number(10000 + seq);
            }
        }
        const auto page = [&](int key, const QString& anchor, const char* flag = "True") {
            return set.db.execute(f8("DG3", flag, key, "", "I01", anchor))[1];
        };
        QCOMPARE(column(page(99, ""), "HINX"), keys.mid(5));
        QCOMPARE(column(page(33, keys[17]), "HINX"), keys.mid(3, 15));
        QCOMPARE(column(page(33, keys[5]), "HINX"), keys.mid(0, 15));  // refilled to a page
        QCOMPARE(column(page(40, keys[15]), "HINX"), keys.mid(2, 15));
        QCOMPARE(
            column(page(36, "", "False"), "VUNIT").first() + column(page(36, ""), "VUNIT").first(),
            QStringLiteral("***.**50"));
    }

    // Vendors (DG4), their items (DG5) and lines (DG6, as the frame's own first page).
    void vendorGrids() {
        ItemSet set;
        set.numbered(20);
        for (int p = 1; p <= 20; ++p)
            set.c().exec("INSERT INTO PART (PCODE, PNAM2) VALUES (?1, 'x')",
                         {QString("P%1").arg(p, 2, 10, QChar('0'))});
        // P01 bought items I01 to I18, two lines each, and I19 from P02.
        for (int i = 1; i <= 38; ++i)
            set.c().exec(
                "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VINAM, VPCOD, VPNAM, VINUM, "
                "VUNIT) VALUES (?1, ?2, ?3, 'x', ?4, '聯強', 1, 50)",
                {QString("114010%1").arg(1000 + i * 7 % 19, 5, 10, QChar('0')), i % 2,
                 QString("I%1").arg((i + 1) / 2, 2, 10, QChar('0')), i > 36 ? "P02" : "P01"});
        const auto call = [&](const char* grid, int key, const char* pattern = "%",
                              const char* flag = "True") {
            return set.db.execute(QString("EXEC SP_F8 '%1','%2',%3,'01','','%4','',0,1,'%5'")
                                      .arg(grid, flag, QString::number(key),
                                           QString(grid) == "DG4" ? "" : "P01", pattern))[1];
        };
        QCOMPARE(span(call("DG4", 36, "p1%")), QStringLiteral("P10-P19 10"));
        // Only what the vendor sold, never I19 of another vendor nor I20 of nobody.
        QCOMPARE(span(call("DG5", 35)), QStringLiteral("I04-I18 15"));
        QCOMPARE(span(call("DG5", 36, "I1%")), QStringLiteral("I10-I18 9"));
        const ResultSet shown = set.db.execute(
            "SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN,VUNIT,VINX FROM VF8J WHERE "
            "VPCOD ='P01' AND VICOD Like '%' ORDER BY VINX")[0];
        const ResultSet opened = call("DG6", 36);
        QVERIFY(opened.columns == shown.columns && opened.rows == shown.rows);
        QCOMPARE(column(call("DG6", 36, "I05%", "False"), "VUNIT"),
                 QStringList({"***.**", "***.**"}));
    }

    // Stock per warehouse of the type; item code as texts compare, filters, type.
    void warehouseStock() {
        ItemSet set;
        set.item("I01", 7, false, 3);
        const auto rows = [&](const char* arguments) {
            return ShowResults(set.db.execute(QString("SF_ZQ2K_ITYP_F2 36,") + arguments));
        };
        QCOMPARE(set.db.execute("SF_ZQ2K_ITYP_F2 36,'','%','2','I01'")[0].columns,
                 QStringList({"ITCOD", "ITNAM", "SNUMB"}));
        QCOMPARE(QStringList({rows("'','%','1','i01 '"), rows("'','%門市%','1','I01'"),
                              rows("'02','%','1','I01'"), rows("'','%','2','I01'"),
                              rows("'','%','1','I09'")}),
                 QStringList(
                     {"01|總倉|7;02|台北門市倉|3", "02|台北門市倉|3", "02|台北門市倉|3", "", ""}));
    }
};

QTEST_GUILESS_MAIN(InquiryProceduresTest)
#include "tst_inquiryprocedures.moc"
