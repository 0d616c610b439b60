// The register procedures on the embedded database, called with the module's own texts.
#include <QtTest>

#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"

namespace {
// The first value of each row of the first result set.
QStringList firstColumn(const ResultSets& sets) {
    QStringList out;
    for (const QVariantList& r : sets.value(0).rows) out << r.value(0).toString();
    return out;
}
}  // namespace

class TestAssetProcedures : public QObject {
    Q_OBJECT
    std::unique_ptr<DemoFolder> m_folder;
    std::unique_ptr<EmbeddedDatabase> m_ws1, m_ws2;  // two workstations on one database

    ResultSets run(const QString& text, EmbeddedDatabase* db = nullptr) {
        return (db ? db : m_ws1.get())->execute(text);
    }
    // Column 0 and the status of a procedure answer.
    QPair<QString, int> answer(const QString& text, EmbeddedDatabase* db = nullptr) {
        const QVariantList row = run(text, db).value(0).rows.value(0);
        return {row.value(0).toString(), row.isEmpty() ? -99 : row.value(1).toInt()};
    }
    int status(const QString& text, EmbeddedDatabase* db = nullptr) {
        return answer(text, db).second;
    }
    // The first row of a query, its values joined by '|'. A database error fails the check that
    // asked, with its text, and leaves the other test functions to run.
    QString row(const QString& sql) {
        QStringList values;
        try {
            for (const QVariant& v : run(sql).value(0).rows.value(0)) values << v.toString();
        } catch (const DbError& e) {
            QTest::qFail(qPrintable(sql + u'\n' + e.hexNumber() + u' ' + e.description()), __FILE__,
                         __LINE__);
            return QStringLiteral("(database error)");
        }
        return values.join(u'|');
    }
    // A work row as the window leaves it before saving a new asset.
    void writeWork(const QString& code, const QString& account = "1441") {
        run(QString(
                "INSERT INTO Asset_Temp (LCODE, ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, ATOTA, "
                "ATOT1, AYEAR, ATOT2, ATOT3, ATOT4, ATOT5, ASELL, AUSE2) VALUES ('0016', '%1', "
                "'測試設備', '%2', '6125', '1442', '115.01.15', 100000, 10000, 60, 0, 1500, 0, "
                "90000, 0, '王大明')")
                .arg(code, account));
    }
    void add(const QString& code) {
        writeWork(code);
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 0);
    }
    // The statuses of workstation 0016's calls on an asset, each "PROCEDURE[,ARGUMENTS]".
    QList<int> statuses(const QString& code, const QStringList& calls) {
        QList<int> out;
        for (const QString& call : calls)
            out << status(
                QString("SF_ZQ2K_ASSET_%1 '0016','%2'").arg(call.section(u',', 0, 0), code) +
                (call.contains(u',') ? u',' + call.section(u',', 1) : QString()));
        return out;
    }
    // Adds an asset and reviews it (without a split: asked, then confirmed).
    void addReviewed(const QString& code) {
        add(code);
        QCOMPARE(statuses(code, {"RATI,0", "RATI,1"}), QList<int>({2, 0}));
    }

private slots:
    void init() {
        m_folder = std::make_unique<DemoFolder>();
        m_ws1 = std::make_unique<EmbeddedDatabase>(m_folder->database());
        m_ws2 = std::make_unique<EmbeddedDatabase>(m_folder->database());
        run("UPDATE JE SET JDATE = '115.06.30'; UPDATE LSTA SET LUSER = 'ADM' WHERE LCODE = "
            "'0016'");
    }
    void cleanup() {
        m_ws1.reset();
        m_ws2.reset();
    }

    // Browse and lookup pages by key and pattern; an empty register answers both sets.
    void browseModesAndLookupPages() {
        const QStringList codes = firstColumn(run("SELECT ACODE FROM Asset ORDER BY ACODE"));
        QVERIFY(codes.size() > 25);
        const auto shown = [&](int mode, const QString& anchor) {
            const ResultSets sets =
                run(QString("SF_ZQ2K_ASSET_BROW %1,'%2'").arg(mode).arg(anchor));
            return sets.size() == 2 ? sets[0].rows.value(0).value(0).toString() : QString("?");
        };
        QCOMPARE(QStringList({shown(35, ""), shown(36, codes[2]), shown(33, codes[2]),
                              shown(34, codes[2]), shown(33, codes[0]), shown(34, codes.last()),
                              shown(99, codes[2].toLower())}),
                 QStringList({codes.last(), codes[0], codes[1], codes[3], codes[0], codes.last(),
                              codes[2]}));
        const ResultSets sets = run("SF_ZQ2K_ASSET_BROW 99,'" + codes[0] + "'");
        QVERIFY(!sets[0].rows.first()[sets[0].columnIndex("anam1")].toString().isEmpty());
        QVERIFY(!sets[1].rows.isEmpty() && sets[1].columnIndex("APERC") >= 0);
        const auto page = [&](int mode, const QString& anchor, const QString& pattern = "%") {
            return firstColumn(
                run(QString("SF_ZQ2K_ASSET_F2 %1,'%2','%3'").arg(mode).arg(anchor, pattern)));
        };
        QCOMPARE(QList<QStringList>({page(35, ""), page(34, codes[9]), page(33, codes[15]),
                                     page(33, codes[3]), page(38, codes[15])}),
                 QList<QStringList>({codes.mid(codes.size() - 10), codes.mid(9, 10),
                                     codes.mid(6, 10), codes.mid(0, 10), codes.mid(14, 10)}));
        const QString prefix = codes[0].left(2), like = prefix.toLower() + "%";
        const QStringList matching =
            codes.filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
        QVERIFY(matching.size() > 1);
        QCOMPARE(QList<QStringList>({page(36, "", like), page(34, "zzzz", like),
                                     page(33, "zzzz", like), page(33, "0", like)}),
                 QList<QStringList>({matching.mid(0, 10),
                                     {},
                                     matching.mid(std::max<qsizetype>(0, matching.size() - 10)),
                                     {}}));
        run("DELETE FROM Asset");
        const ResultSets empty = run("SF_ZQ2K_ASSET_BROW 35,''");
        QVERIFY(empty.size() == 2 && empty[0].rows.isEmpty() && empty[1].rows.isEmpty());
    }

    // Add, edit, review, sale and delete answer each state with its status.
    void addEditDeleteSellAndReview() {
        // Bad adds are refused; an added asset has its split and schedule, no work rows left.
        const QString taken = firstColumn(run("SELECT ACODE FROM Asset")).first();
        const auto linesOf = [&](const QString& code) {
            return row("SELECT COUNT(*), MIN(ADENO), MAX(ADENO), SUM(APERC) FROM Assetd WHERE "
                       "ACODE = '" + code + "'");
        };
        const QString takensLines = linesOf(taken);
        QVERIFY(!takensLines.startsWith("0|"));
        writeWork(taken);
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 2);
        run("DELETE FROM Asset_Temp");
        writeWork("T900", "9999");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'"),
                 qMakePair(QString("會計科目[ 9999 ]不存在!"), 1));
        // Lines typed before the code was corrected still carry the code refused: they are the
        // work rows' asset's all the same, and the asset that code names keeps its own.
        run("UPDATE Asset_Temp SET ACOD1 = '1441'; INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, "
            "ADENO, APERC, ATOTA) VALUES ('0016', '" + taken + "', 1, '01', 50, 750), ('0016', '" +
            taken + "', 2, '02', 40, 600)");
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 1);
        run("UPDATE Assetd_Temp SET APERC = 50 WHERE ASEQ = 2");
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 0);
        QCOMPARE(row("SELECT MAX(A.ANAME), (SELECT COUNT(*) FROM Assetd WHERE ACODE = 'T900'), "
                     "(SELECT COUNT(*) FROM Asset_Temp) + (SELECT COUNT(*) FROM Assetd_Temp), "
                     "COUNT(*), SUM(S.ATOTA), MIN(ADATE), MAX(ADATE) FROM Asset A JOIN Assets S "
                     "ON S.ACODE = A.ACODE WHERE A.ACODE = 'T900'"),
                 QString("測試設備|2|0|60|90000|115.01.31|119.12.31"));
        QCOMPARE(linesOf(taken), takensLines);
        // Of two workstations' edits of one copy the second is refused, writing nothing.
        add("T910");
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0016','T910'"), 0);
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0017','T910'", m_ws2.get()), 0);
        run("UPDATE Asset_Temp SET ANAME = '第二台' WHERE LCODE = '0017'", m_ws2.get());
        QCOMPARE(status("SF_ZQ2K_ASSET_EDIT '0017'", m_ws2.get()), 0);
        const QString change =
            "UPDATE Asset_Temp SET AYEAR = 30, ATOT3 = 3000 WHERE LCODE = '0016'";
        run(change);
        const auto refused = answer("SF_ZQ2K_ASSET_EDIT '0016'");
        QVERIFY2(refused.second == 1 && refused.first.contains("其他工作站"),
                 qPrintable(refused.first));
        QCOMPARE(row("SELECT ANAME, (SELECT COUNT(*) FROM Assets WHERE ACODE = 'T910') FROM Asset "
                     "WHERE ACODE = 'T910'"),
                 QString("第二台|60"));
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0016','T910'"), 0);
        run(change);
        QCOMPARE(status("SF_ZQ2K_ASSET_EDIT '0016'"), 0);
        QCOMPARE(row("SELECT COUNT(*), SUM(ATOTA) FROM Assets WHERE ACODE = 'T910'"),
                 QString("30|90000"));
        // An edit of the name alone leaves every line as it was, also where cents were spread.
        writeWork("T930");
        run("UPDATE Asset_Temp SET ATOTA = 100000.30");
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 0);
        const QString lines =
            "SELECT COUNT(*), MIN(ATOTA), MAX(ATOTA), (SELECT ATOTA FROM Assets WHERE ACODE = "
            "'T930' AND ADATE = (SELECT MAX(ADATE) FROM Assets WHERE ACODE = 'T930')) FROM Assets "
            "WHERE ACODE = 'T930'";
        const QString before = row(lines);
        const QString closing = row("SELECT JDATE FROM JE");
        run("UPDATE JE SET JDATE = '115.06.30'");  // six months closed since
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0016','T930'"), 0);
        run("UPDATE Asset_Temp SET ANAME = '改名' WHERE LCODE = '0016'");
        QCOMPARE(status("SF_ZQ2K_ASSET_EDIT '0016'"), 0);
        run("UPDATE JE SET JDATE = '" + closing + "'");
        QCOMPARE(row(lines), before);
        // Unreviewed: no sale; reviewed: no review, delete or copy; flag 2 sells when asked.
        add("T920");
        QCOMPARE(statuses("T920", {"SELL,'115.08.01',0", "RATI,0", "RATI,1"}),
                 QList<int>({1, 2, 0}));
        QCOMPARE(row("SELECT AUSE3 FROM Asset WHERE ACODE = 'T920'"), QString("系統管理員"));
        QCOMPARE(statuses("T920", {"RATI,0", "DEL", "COPY", "SELL,'115.08.01',0",
                                   "SELL,'115.08.01',2", "RATI,1"}),
                 QList<int>({3, 1, 1, 2, 0, 1}));
        QCOMPARE(row("SELECT ASELL, ADAT2, (SELECT MAX(ADATE) FROM Assets WHERE ACODE = 'T920') "
                     "FROM Asset WHERE ACODE = 'T920'"),
                 QString("1|115.08.01|115.07.31"));
        // A closed period's sale is noticed; a posted asset's review undone, it is not deleted.
        addReviewed("T921");
        QCOMPARE(statuses("T921", {"SELL,'115.01.31',2"}), QList<int>({3}));
        addReviewed("T922");
        run("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('T922', '115.01.31', 1, 'J')");
        QCOMPARE(statuses("T922", {"RATI,1", "RATI,0", "DEL"}), QList<int>({2, 0, 1}));
        // A plain asset is deleted, schedule and all, and the next one is named.
        add("T923");
        const QString next = row("SELECT MIN(ACODE) FROM Asset WHERE ACODE > 'T923'");
        QCOMPARE(answer("SF_ZQ2K_ASSET_DEL '0016','T923'"),
                 qMakePair(next.isEmpty() ? QString("T922") : next, 0));
        QCOMPARE(row("SELECT COUNT(*) FROM Assets WHERE ACODE = 'T923'"), QString("0"));
    }
};

QTEST_MAIN(TestAssetProcedures)
#include "tst_assetprocedures.moc"
