// The register procedures on the embedded database, called with the module's own texts: the
// browse modes, add and the schedule it writes, an edit with a second workstation in between,
// delete, sale and review with their questions and notices, and the lookup pages.
#include <QtTest>

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
    // The first row of a query, its values joined by '|'.
    QString row(const QString& sql) {
        QStringList values;
        for (const QVariant& v : run(sql).value(0).rows.value(0)) values << v.toString();
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
    // Adds an asset and reviews it: asked first, as it has no split, then confirmed.
    void addReviewed(const QString& code) {
        add(code);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','" + code + "',0"), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','" + code + "',1"), 0);
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
        m_folder.reset();
    }

    // Each browse mode lands on its neighbour, stays at either end and finds a code whatever
    // its case; the asset comes with its split and an empty register answers with both sets.
    void browseModes() {
        const QStringList codes = firstColumn(run("SELECT ACODE FROM Asset ORDER BY ACODE"));
        QVERIFY(codes.size() > 3);
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

        run("DELETE FROM Asset");
        const ResultSets empty = run("SF_ZQ2K_ASSET_BROW 35,''");
        QVERIFY(empty.size() == 2 && empty[0].rows.isEmpty() && empty[1].rows.isEmpty());
    }

    // An existing code, an unknown account and shares not totalling 100 are refused; the
    // asset added has its split, one schedule line a month and no work rows left.
    void addRefusalsAndSchedule() {
        writeWork(firstColumn(run("SELECT ACODE FROM Asset")).first());
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 2);
        run("DELETE FROM Asset_Temp");
        writeWork("T900", "9999");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'"),
                 qMakePair(QString("會計科目[ 9999 ]不存在!"), 1));
        run("UPDATE Asset_Temp SET ACOD1 = '1441'; INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, "
            "ADENO, APERC, ATOTA) VALUES ('0016', 'T', 1, '01', 50, 750), ('0016', 'T', 2, '02', "
            "40, 600)");
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 1);
        run("UPDATE Assetd_Temp SET APERC = 50 WHERE ASEQ = 2");
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0016'"), 0);
        QCOMPARE(row("SELECT ANAME, (SELECT COUNT(*) FROM Assetd WHERE ACODE = 'T900'), (SELECT "
                     "COUNT(*) FROM Asset_Temp WHERE LCODE = '0016') + (SELECT COUNT(*) FROM "
                     "Assetd_Temp WHERE LCODE = '0016') FROM Asset WHERE ACODE = 'T900'"),
                 QString("測試設備|2|0"));
        QCOMPARE(row("SELECT COUNT(*), SUM(ATOTA), MIN(ADATE), MAX(ADATE) FROM Assets WHERE "
                     "ACODE = 'T900'"),
                 QString("60|90000|115.01.31|119.12.31"));
    }

    // Two workstations copy one asset: the edit saved second is refused and writes nothing;
    // copied again, it goes through and the schedule follows the new life.
    void editAfterAnotherWorkstationIsRefused() {
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
    }

    // Review, sale and delete answer each state with its status: asked, refused, noticed.
    void deleteSellAndReview() {
        add("T920");
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',0"), 1);  // not reviewed
        // Review without a split asks; the other flag confirms and records the reviewer.
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T920',0"), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T920',1"), 0);
        QCOMPARE(row("SELECT AUSE3 FROM Asset WHERE ACODE = 'T920'"), QString("系統管理員"));
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T920',0"), 3);  // reviewed already
        QCOMPARE(status("SF_ZQ2K_ASSET_DEL '0016','T920'"), 1);
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0016','T920'"), 1);
        // Unposted months ask; flag 2 sells, keeping the months up to the sale.
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',0"), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',2"), 0);
        QCOMPARE(row("SELECT ASELL, ADAT2, (SELECT MAX(ADATE) FROM Assets WHERE ACODE = 'T920') "
                     "FROM Asset WHERE ACODE = 'T920'"),
                 QString("1|115.08.01|115.07.31"));
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T920',1"), 1);  // sold

        // A sale dated in a closed period is done with a notice.
        addReviewed("T921");
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','T921','115.01.31',2"), 3);

        // Cancelling a review of a posted asset asks; then it can be deleted no more.
        addReviewed("T922");
        run("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('T922', '115.01.31', 1500, "
            "'JV1')");
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T922',1"), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','T922',0"), 0);
        QCOMPARE(status("SF_ZQ2K_ASSET_DEL '0016','T922'"), 1);

        // A plain asset is deleted, schedule and all, and the next one is named.
        add("T923");
        const QString next = row("SELECT MIN(ACODE) FROM Asset WHERE ACODE > 'T923'");
        QCOMPARE(answer("SF_ZQ2K_ASSET_DEL '0016','T923'"),
                 qMakePair(next.isEmpty() ? QString("T922") : next, 0));
        QCOMPARE(row("SELECT COUNT(*) FROM Assets WHERE ACODE = 'T923'"), QString("0"));
    }

    // The lookup's pages by key as the register's code order gives them; with a pattern, the
    // anchor and the pattern's range bound the page together: anchors before, inside, after.
    void lookupPagesFollowTheSqlPages() {
        const QStringList codes = firstColumn(run("SELECT ACODE FROM Asset ORDER BY ACODE"));
        QVERIFY(codes.size() > 25);
        const auto page = [&](int mode, const QString& anchor, const QString& pattern = "%") {
            return firstColumn(
                run(QString("SF_ZQ2K_ASSET_F2 %1,'%2','%3'").arg(mode).arg(anchor, pattern)));
        };
        QCOMPARE(page(35, ""), codes.mid(codes.size() - 10));
        QCOMPARE(page(34, codes[9]), codes.mid(9, 10));
        QCOMPARE(page(33, codes[15]), codes.mid(6, 10));
        QCOMPARE(page(33, codes[3]), codes.mid(0, 10));
        QCOMPARE(page(38, codes[15]), codes.mid(14, 10));
        const QString prefix = codes[0].left(2), like = prefix.toLower() + "%";
        const QStringList matching =
            codes.filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
        QVERIFY(matching.size() > 1);
        QCOMPARE(page(36, "", like), matching.mid(0, 10));
        QCOMPARE(page(34, "0", like), matching.mid(0, 10));
        QCOMPARE(page(34, "zzzz", like), QStringList());
        QCOMPARE(page(33, "zzzz", like),
                 matching.mid(std::max<qsizetype>(0, matching.size() - 10)));
        QCOMPARE(page(33, "0", like), QStringList());
        const ResultSets departments = run("SF_ZQ2K_DEPART25_F2 36,'','0_'");
        QVERIFY(departments[0].columns == QStringList({"a", "b"}) &&
                !departments[0].rows.isEmpty());
    }
};

QTEST_MAIN(TestAssetProcedures)
#include "tst_assetprocedures.moc"
