// The item procedures and the group's databases on the embedded database: how a typed text
// finds its item (and that the bar code statements read an index), the counts' date
// arithmetic at month and week edges, the central stock procedure, the entry frame's code
// list DG2, and the group files zqfu-setup makes, with a missing sister answering with the
// statement's fallbacks.
#include <QtTest>

#include "Backends.h"
#include "Clock.h"
#include "CompanyGroup.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "GroupData.h"
#include "ItemCatalogue.h"
#include "ItemProcedures.h"
#include "ItemViews.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"

namespace {
QString first(const ResultSets& sets, int set = 0) {
    return sets.value(set).rows.isEmpty() ? QString() : sets[set].rows.first().value(0).toString();
}
}  // namespace

class ItemProceduresTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TsqlFixture> m_fixture;

    ResultSets run(const QString& text) { return m_fixture->db().execute(text); }

private slots:
    void init() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        // Item B's EAN-13 is A's code, C's CODE128 is B's EAN-13: the order decides.
        m_fixture->db().connection().script(QStringLiteral(
            "INSERT INTO ITEM (ICODE, INAME) VALUES ('4710000000019', '甲'), ('B', '乙'), "
            "('C', '丙'), ('D', '丁');"
            "UPDATE ITEM SET ICOD2 = 'EXT-D' WHERE ICODE = 'D';"
            "INSERT INTO ITEM1 (ICODE1, ENA13, CO128) VALUES ('4710000000019', '', 'X1'),"
            " ('B', '4710000000019', 'X2'), ('C', '0004710000025', '4710000000026'),"
            " ('D', '4710000000033', 'X4');"));
    }
    void cleanup() {
        m_fixture.reset();
        Clock::setFixed(QDateTime());
    }

    // A typed text finds its item by code, then EAN-13, then CODE128, then external code; the
    // window's own steps read the bar code index instead of scanning.
    void findsByCodeThenBarCodesThenExternalCode() {
        for (const auto& [text, item] :
             {std::pair("4710000000019", "4710000000019"), std::pair("4710000000033", "D"),
              std::pair("4710000000026", "C"), std::pair("ext-d", "D"),
              std::pair("4710000025", ""),  // needs the padding
              std::pair("", "")})
            QCOMPARE(first(run("SF_ZQ2K_ITEM_ALL " + SqlLiteral(QString(text)) + ",'',0")),
                     QString(item));
        // The window's own steps: the ten digits padded to thirteen find C from the index.
        const QStringList steps = ItemViews::resolution(QStringLiteral("4710000025"));
        QCOMPARE(steps[2], QStringLiteral("select * from item where icode = (select top 1 icode1 "
                                          "from item1 where ena13 = right('000' + "
                                          "'4710000025' ,13)order by icode1)"));
        QCOMPARE(first(run(steps[2])), QStringLiteral("C"));
        QCOMPARE(first(run(ItemViews::resolution(QStringLiteral("X2"))[3])), QStringLiteral("B"));
        // The bar code steps walk the subquery's one row from the index; no table is scanned.
        for (const auto& [step, index] :
             {std::pair(2, "ITEM1_ENA13"), std::pair(3, "ITEM1_CO128")}) {
            const auto prepared = m_fixture->db().translator().prepare(steps[step])[0];
            const QString plan = ShowResults({m_fixture->db().connection().query(
                "EXPLAIN QUERY PLAN " + prepared.sql, prepared.values)});
            QVERIFY2(plan.contains(QLatin1String(index)) && !plan.contains(QLatin1String("SCAN t")),
                     qPrintable(plan));
        }
    }

    // Today is Sunday 2 March 2025 (114.03.02): the week began on Monday 114.02.24, in the
    // month before; last week is 114.02.17 to 114.02.23; the eighth order week begins on
    // Monday 114.01.06.
    void countsByMonthAndWeek() {
        Clock::setFixed(QDateTime(QDate(2025, 3, 2), QTime(10, 0)));
        const ItemProcedures::CountSpans spans = ItemProcedures::countSpans(Clock::today());
        QCOMPARE(spans.thisWeek.from, QStringLiteral("114.02.24"));
        QCOMPARE(spans.orderWeeks.last().from, QStringLiteral("114.01.06"));
        // Sales: before last week, on last week's Sunday, this week in the last month, this
        // week and month, and tomorrow (counted only all told); returns: on last week's Sunday
        // and this week. Orders: in week 1, week 2, week 8 (its Monday) and before the eight.
        m_fixture->db().connection().script(QStringLiteral(
            "INSERT INTO HISTIN (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES ('1', 1, '114.02.16', "
            "'B', 1), ('2', 1, '114.02.23', 'B', 10), ('3', 1, '114.02.24', 'B', 100), ('4', 1, "
            "'114.03.01', 'B', 1000), ('5', 1, '114.03.03', 'B', 5000);"
            "INSERT INTO HISTOU (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES ('6', 1, '114.02.23', "
            "'B', 2), ('7', 1, '114.02.24', 'B', 20);"
            "INSERT INTO ORDET (OCOD1, ODAT1) VALUES ('O8', '114.03.02'), ('O9', '114.02.23'), "
            "('O10', '114.01.06'), ('O11', '114.01.05');"
            "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OINUM) VALUES ('O8', 1, 'B', 1), ('O9', 1, "
            "'B', 2), ('O10', 1, 'B', 4), ('O11', 1, 'B', 8);"));
        const ResultSets sets = run(QStringLiteral("SF_ZQ2K_ITEM_COUNTS 'b'"));
        QStringList values;
        for (const QVariant& v : sets.value(0).rows.value(0))
            values << QString::number(v.toDouble());
        QCOMPARE(values.join(u' '), QStringLiteral("6111 1000 10 1100 20 22 15 1 2 0 0 0 0 0 4"));
    }

    // The central stock of an item for the group's account, sister by sister; an account of
    // the wrong length or not on file is refused, naming it.
    void centralStockByAccount() {
        m_fixture->db().connection().script(QStringLiteral(
            "CREATE TABLE VNACCT (VACCT TEXT COLLATE TSQL PRIMARY KEY, VANAM TEXT);"
            "CREATE TABLE VNSTOC (VACCT TEXT COLLATE TSQL, VBRNO TEXT, VBNAM TEXT, VICOD TEXT "
            "COLLATE TSQL, VSNUM REAL, VDATE TEXT);"
            "INSERT INTO VNACCT VALUES ('A123456789012Z', 'x');"
            "INSERT INTO VNSTOC VALUES ('A123456789012Z', 'ZqPro4', '台北', 'B', 3, '114.01.01'),"
            " ('A123456789012Z', 'ZqPro2', '高雄', 'B', 7, '114.01.01'),"
            " ('B123456789012Z', 'ZqPro3', '台中', 'B', 9, '114.01.01');"));
        QCOMPARE(ShowResults(run(QStringLiteral("EXEC SF_ZQ2K_VNNET_STOC 'A123456789012Z','B'"))),
                 QStringLiteral("ZqPro2|高雄|7|114.01.01;ZqPro4|台北|3|114.01.01"));
        for (const char* account : {"A12345678901Z", "B123456789012Z"}) {
            try {
                run(QStringLiteral("EXEC SF_ZQ2K_VNNET_STOC '%1','B'").arg(QLatin1String(account)));
                QFAIL("accepted");
            } catch (const DbError& e) {
                QVERIFY(e.description().contains(QLatin1String(account)));
            }
        }
    }

    // The code list pages the codes that begin with the pattern, from the anchor. (The scroll
    // keys page alike on every grid: tst_inquiryprocedures.)
    void codeListPages() {
        QString sql;
        for (int i = 1; i <= 20; ++i)
            sql += QStringLiteral("INSERT INTO ITEM (ICODE, INAME) VALUES ('A%1', 'x');")
                       .arg(i, 3, 10, QLatin1Char('0'));
        m_fixture->db().connection().script(sql);
        const auto page = [this](int key, const QString& anchor) {
            const ResultSets sets =
                run(QStringLiteral("EXEC SP_F8 'DG2','True',%1,'01','','',%2,0,1,'A0%'")
                        .arg(key)
                        .arg(SqlLiteral(anchor)));
            QStringList codes;
            for (const QVariantList& row : sets[1].rows) codes << row[0].toString();
            return codes.first() + u'-' + codes.last() + u'/' + QString::number(codes.size());
        };
        QCOMPARE(page(36, {}), QStringLiteral("A001-A015/15"));
        QCOMPARE(page(34, QStringLiteral("A015")), QStringLiteral("A006-A020/15"));
        QCOMPARE(page(33, QStringLiteral("A006")), QStringLiteral("A001-A015/15"));
    }

    // zqfu-setup makes the sisters, the central database and ZqGroup.ini; the sisters'
    // statement reads them, and a sister whose file is missing answers with the fallback.
    void groupFiles() {
        DemoFolder folder;
        const CompanyGroup group = CompanyGroup::read(folder.path());
        QStringList sisters;
        for (const CompanyGroup::Company& c : group.companies) sisters << c.database + c.shortName;
        sisters.sort();
        QCOMPARE(sisters.join(u' '), QStringLiteral("ZqPro2高雄 ZqPro3台中 ZqPro4台北 ZqPro5公益"));
        QCOMPARE(group.central.database, QLatin1String(GroupData::CentralCatalogue));
        QCOMPARE(group.centralAccount.size(), 14);
        // One item in ten is on order in 台中.
        const QString item = QString::fromUtf8(ItemCatalogue::items()[3].code);
        {
            EmbeddedDatabase main(folder.database(), EmbeddedDatabase::OpenMode::Existing);
            const ResultSet row = main.execute(ItemViews::sisterStock(item)).value(0);
            QCOMPARE(row.columns,
                     (QStringList{"台北庫存", "公益庫存", "台中庫存", "高雄庫存", "採購預定日"}));
            QVERIFY(!row.rows[0].toList().contains(QStringLiteral("沒有採購")));
            EmbeddedDatabase central(EmbeddedDatabasePath(folder.path(), group.central.database),
                                     EmbeddedDatabase::OpenMode::Existing);
            QVERIFY(central.execute(ItemViews::centralStock(group.centralAccount, item))[0]
                        .rows.size() >= 1);
        }
        QVERIFY(QFile::remove(EmbeddedDatabasePath(folder.path(), QStringLiteral("ZqPro3"))));
        EmbeddedDatabase main(folder.database(), EmbeddedDatabase::OpenMode::Existing);
        const QVariantList row = main.execute(ItemViews::sisterStock(item))[0].rows.value(0);
        QCOMPARE(row.value(2).toString(), QStringLiteral("無此代號"));
        QCOMPARE(row.value(4).toString(), QStringLiteral("沒有採購"));
        QVERIFY(row.value(0).toString() != QStringLiteral("無此代號") ||
                row.value(1).toString() != QStringLiteral("無此代號"));
    }
};

QTEST_GUILESS_MAIN(ItemProceduresTest)
#include "tst_itemprocedures.moc"
