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

    void findsByCodeThenBarCodesThenExternalCode() {
        const auto found = [this](const QString& text) {
            return first(run(QStringLiteral("SF_ZQ2K_ITEM_ALL ") + SqlLiteral(text) +
                             QStringLiteral(",'',0")));
        };
        QCOMPARE(found(QStringLiteral("4710000000019")), QStringLiteral("4710000000019"));
        QCOMPARE(found(QStringLiteral("4710000000033")), QStringLiteral("D"));
        QCOMPARE(found(QStringLiteral("4710000000026")), QStringLiteral("C"));
        QCOMPARE(found(QStringLiteral("ext-d")), QStringLiteral("D"));
        QCOMPARE(found(QStringLiteral("4710000025")), QString());  // needs the padding
        QCOMPARE(found(QString()), QString());
        // The window's own steps: the ten digits padded to thirteen find C from the index.
        const QStringList steps = ItemViews::resolution(QStringLiteral("4710000025"));
        QCOMPARE(steps[2], QStringLiteral("select * from item where icode = (select top 1 icode1 "
                                          "from item1 where ena13 = right('000' + "
                                          "'4710000025' ,13)order by icode1)"));
        QCOMPARE(first(run(steps[1])), QString());
        QCOMPARE(first(run(steps[2])), QStringLiteral("C"));
        QCOMPARE(first(run(ItemViews::resolution(QStringLiteral("X2"))[3])), QStringLiteral("B"));
        for (int step : {2, 3}) {
            const auto prepared = m_fixture->db().translator().prepare(steps[step])[0];
            QStringList plan;
            for (const QVariantList& row :
                 m_fixture->db()
                     .connection()
                     .query(QStringLiteral("EXPLAIN QUERY PLAN ") + prepared.sql, prepared.values)
                     .rows)
                plan << row.last().toString();
            const QString index =
                step == 2 ? QStringLiteral("ITEM1_ENA13") : QStringLiteral("ITEM1_CO128");
            // The subquery's one row is walked; no table is.
            const QString text = plan.join(u';');
            QVERIFY2(text.contains(index) && !text.contains(QLatin1String("SCAN t")),
                     qPrintable(text));
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
        QString sql;
        int n = 0;
        const auto line = [&](const char* table, const char* date, int quantity) {
            sql += QStringLiteral(
                       "INSERT INTO %1 (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES "
                       "('%2', 1, '%3', 'B', %4);")
                       .arg(QLatin1String(table))
                       .arg(++n)
                       .arg(QLatin1String(date))
                       .arg(quantity);
        };
        line("HISTIN", "114.02.16", 1);     // before last week
        line("HISTIN", "114.02.23", 10);    // last week's Sunday
        line("HISTIN", "114.02.24", 100);   // this week, last month
        line("HISTIN", "114.03.01", 1000);  // this week and month
        line("HISTIN", "114.03.03", 5000);  // tomorrow: only all told
        line("HISTOU", "114.02.23", 2);
        line("HISTOU", "114.02.24", 20);
        const auto order = [&](const char* date, int quantity) {
            sql += QStringLiteral(
                       "INSERT INTO ORDET (OCOD1, ODAT1) VALUES ('O%1', '%2');"
                       "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OINUM) VALUES "
                       "('O%1', 1, 'B', %3);")
                       .arg(++n)
                       .arg(QLatin1String(date))
                       .arg(quantity);
        };
        order("114.03.02", 1);  // week 1
        order("114.02.23", 2);  // week 2
        order("114.01.06", 4);  // week 8, its Monday
        order("114.01.05", 8);  // before the eight weeks
        m_fixture->db().connection().script(sql);
        const ResultSets sets = run(QStringLiteral("SF_ZQ2K_ITEM_COUNTS 'b'"));
        QStringList values;
        for (const QVariant& v : sets.value(0).rows.value(0))
            values << QString::number(v.toDouble());
        QCOMPARE(values.join(u' '), QStringLiteral("6111 1000 10 1100 20 22 15 1 2 0 0 0 0 0 4"));
        QCOMPARE(sets[0].columns.size(), 15);
    }

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

    // The code list pages the codes that begin with the pattern, from the anchor.
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
        QCOMPARE(page(35, {}), QStringLiteral("A006-A020/15"));
        QCOMPARE(page(33, QStringLiteral("A006")), QStringLiteral("A001-A015/15"));
        QCOMPARE(page(38, QStringLiteral("A006")), QStringLiteral("A005-A019/15"));
        QCOMPARE(page(40, QStringLiteral("A015")), QStringLiteral("A002-A016/15"));
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
