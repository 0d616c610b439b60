// The item procedures and the group's databases on the embedded database.
#include <QtTest>

#include "Backends.h"
#include "Clock.h"
#include "CompanyGroup.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "ItemCatalogue.h"
#include "ItemViews.h"
#include "SqlLiteral.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"

class ItemProceduresTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TsqlFixture> m_fixture;

    QString run(const QString& text) { return m_fixture->run(text); }
    void script(const QString& sql) { m_fixture->db().connection().script(sql); }

private slots:
    void init() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        // Item B's EAN-13 is A's code, C's CODE128 is B's EAN-13: the order decides.
        script(
            "INSERT INTO ITEM (ICODE, INAME) VALUES ('4710000000019', '甲'), ('B', '乙'), ('C', "
            "'丙'), ('D', '丁'); UPDATE ITEM SET ICOD2 = 'EXT-D' WHERE ICODE = 'D'; INSERT INTO "
            "ITEM1 (ICODE1, ENA13, CO128) VALUES ('4710000000019', '', 'X1'), ('B', "
            "'4710000000019', 'X2'), ('C', '0004710000025', '4710000000026'), ('D', "
            "'4710000000033', 'X4');");
    }
    void cleanup() {
        m_fixture.reset();
        Clock::setFixed(QDateTime());
    }

    // An item is found by code, bar codes or external code; the code list pages.
    void findsAndListsCodes() {
        // Code, EAN-13, CODE128, external code, in that order; bar code steps use the index.
        for (const auto& [text, item] :
             {std::pair("4710000000019", "4710000000019"), std::pair("4710000000033", "D"),
              std::pair("4710000000026", "C"), std::pair("ext-d", "D"),
              std::pair("4710000025", ""),  // needs the padding
              std::pair("", "")})
            QCOMPARE(
                run("SF_ZQ2K_ITEM_ALL " + SqlLiteral(QString(text)) + ",'',0").section(u'|', 0, 0),
                QString(item));
        // The window's own steps: the ten digits padded to thirteen find C from the index.
        const QStringList steps = ItemViews::resolution("4710000025");
        QCOMPARE(run(steps[2]).section(u'|', 0, 0), QStringLiteral("C"));
        QCOMPARE(run(ItemViews::resolution("X2")[3]).section(u'|', 0, 0), QStringLiteral("B"));
        for (const auto& [step, index] :
             {std::pair(2, "ITEM1_ENA13"), std::pair(3, "ITEM1_CO128")}) {
            const auto prepared = m_fixture->db().translator().prepare(steps[step])[0];
            const QString plan = ShowResults({m_fixture->db().connection().query(
                "EXPLAIN QUERY PLAN " + prepared.sql, prepared.values)});
            QVERIFY2(plan.contains(index) && !plan.contains("SCAN t"), qPrintable(plan));
        }
        // The code list pages the codes that begin with the pattern, from the anchor.
        for (int i = 1; i <= 20; ++i)
            script(QString("INSERT INTO ITEM (ICODE, INAME) VALUES ('A%1', 'x')")
                       .arg(i, 3, 10, QChar('0')));
        const QStringList page = run("EXEC SP_F8 'DG2','True',34,'01','','','A015',0,1,'A0%'")
                                     .section(" // ", 1)
                                     .split(u';');
        QCOMPARE(page.size(), 15);
        QCOMPARE(page.first().section(u'|', 0, 0) + page.last().section(u'|', 0, 0), "A006A020");
    }

    // Counts by month and week around today; the central stock by account.
    void countsAndCentralStock() {
        // Today is Sunday 114.03.02: this week from 114.02.24, last 114.02.17 to 114.02.23.
        Clock::setFixed(QDateTime(QDate(2025, 3, 2), QTime(10, 0)));
        // Sales and returns around the week and month edges; orders in weeks 1, 2 (its Sunday
        // and Monday), 8 (its Monday) and 9.
        script(
            "INSERT INTO HISTIN (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES ('1', 1, '114.02.16', "
            "'B', 1), ('2', 1, '114.02.23', 'B', 10), ('3', 1, '114.02.24', 'B', 100), ('4', 1, "
            "'114.03.01', 'B', 1000), ('5', 1, '114.03.03', 'B', 5000);"
            "INSERT INTO HISTOU (HCOD1, HSEQ, HDAT1, HICOD, HINUM) VALUES ('6', 1, '114.02.23', "
            "'B', 2), ('7', 1, '114.02.24', 'B', 20);"
            "INSERT INTO ORDET (OCOD1, ODAT1) VALUES ('O8', '114.03.02'), ('O9', '114.02.23'), "
            "('O10', '114.01.06'), ('O11', '114.01.05'), ('O12', '114.02.17');"
            "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OINUM) VALUES ('O8', 1, 'B', 1), ('O9', 1, "
            "'B', 2), ('O10', 1, 'B', 4), ('O11', 1, 'B', 8), ('O12', 1, 'B', 16);");
        QCOMPARE(run("SF_ZQ2K_ITEM_COUNTS 'b'"), "6111|1000|10|1100|20|22|31|1|18|0|0|0|0|0|4");
        // Central stock sister by sister; a bad or unknown account refused, naming it.
        script(
            "CREATE TABLE VNACCT (VACCT TEXT COLLATE TSQL PRIMARY KEY, VANAM TEXT);"
            "CREATE TABLE VNSTOC (VACCT TEXT COLLATE TSQL, VBRNO TEXT, VBNAM TEXT, VICOD TEXT "
            "COLLATE TSQL, VSNUM REAL, VDATE TEXT);"
            "INSERT INTO VNACCT VALUES ('A123456789012Z', 'x');"
            "INSERT INTO VNSTOC VALUES ('A123456789012Z', 'ZqPro4', '台北', 'B', 3, '114.01.01'),"
            " ('A123456789012Z', 'ZqPro2', '高雄', 'B', 7, '114.01.01'),"
            " ('B123456789012Z', 'ZqPro3', '台中', 'B', 9, '114.01.01');");
        QCOMPARE(run("EXEC SF_ZQ2K_VNNET_STOC 'A123456789012Z','B'"),
                 "ZqPro2|高雄|7|114.01.01;ZqPro4|台北|3|114.01.01");
        for (const char* account : {"A12345678901Z", "B123456789012Z"}) {
            try {
                run(QString("EXEC SF_ZQ2K_VNNET_STOC '%1','B'").arg(account));
                QFAIL("accepted");
            } catch (const DbError& e) {
                QVERIFY(e.description().contains(account));
            }
        }
    }

    // The sisters' and the central statements read the demo group's files.
    void groupFiles() {
        DemoFolder folder;
        const CompanyGroup group = CompanyGroup::read(folder.path());
        QCOMPARE(group.companies.size(), 4);
        const QString item = QString::fromUtf8(ItemCatalogue::items()[3].code);  // on order in 台中
        EmbeddedDatabase main(folder.database(), EmbeddedDatabase::OpenMode::Existing);
        const ResultSet row = main.execute(ItemViews::sisterStock(item)).value(0);
        QCOMPARE(row.columns,
                 (QStringList{"台北庫存", "公益庫存", "台中庫存", "高雄庫存", "採購預定日"}));
        QVERIFY(!row.rows[0].toList().contains(QStringLiteral("沒有採購")));
        QVERIFY(!row.rows[0].toList().contains(QStringLiteral("無此代號")));
        EmbeddedDatabase central(EmbeddedDatabasePath(folder.path(), group.central.database),
                                 EmbeddedDatabase::OpenMode::Existing);
        QVERIFY(!central.execute(ItemViews::centralStock(group.centralAccount, item))[0]
                     .rows.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ItemProceduresTest)
#include "tst_itemprocedures.moc"
