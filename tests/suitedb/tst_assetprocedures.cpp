// The register procedures on the embedded database, called with the module's own texts: the
// browse modes, add with its refusals and the schedule it writes, copy and edit with a second
// workstation in between, delete, sale and review with their questions and notices, and the
// lookup pages.
#include <QtTest>

#include "DemoFolder.h"
#include "EmbeddedDatabase.h"

namespace {
// The first value of each row of the first result set.
QStringList firstColumn(const ResultSets& sets) {
    QStringList out;
    if (!sets.isEmpty())
        for (const QVariantList& r : sets.first().rows) out << r.value(0).toString();
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
        const ResultSets sets = run(text, db);
        if (sets.isEmpty() || sets.first().rows.isEmpty()) return {QString(), -99};
        const QVariantList& row = sets.first().rows.first();
        return {row.value(0).toString(), row.value(1).toInt()};
    }
    // A work row as the window leaves it before saving a new asset.
    void writeWork(const QString& ws, const QString& code, double months = 60,
                   const QString& account = "1441") {
        run(QString("INSERT INTO Asset_Temp (LCODE, ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, "
                    "ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ATOT4, ATOT5, ASELL, AUSE2) VALUES ('%1', "
                    "'%2', '測試設備', '%3', '6125', '1442', '115.01.15', 100000, 10000, %4, 0, "
                    "%5, 0, 90000, 0, '王大明')")
                .arg(ws, code, account)
                .arg(months)
                .arg(months > 0 ? 90000 / months : 0));
    }
    void writeLine(const QString& ws, int seq, const QString& department, double share) {
        run(QString("INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, APERC, ATOTA) VALUES "
                    "('%1', 'T', %2, '%3', %4, %5)")
                .arg(ws)
                .arg(seq)
                .arg(department)
                .arg(share)
                .arg(share * 15));
    }
    QString scalar(const QString& sql) {
        const ResultSets sets = run(sql);
        return sets.value(0).rows.value(0).value(0).toString();
    }

private slots:
    void init() {
        m_folder = std::make_unique<DemoFolder>();
        m_ws1 = std::make_unique<EmbeddedDatabase>(m_folder->database());
        m_ws2 = std::make_unique<EmbeddedDatabase>(m_folder->database());
        run("UPDATE JE SET JDATE = '115.06.30'");
        run("UPDATE LSTA SET LUSER = 'ADM' WHERE LCODE = '0016'");
    }
    void cleanup() {
        m_ws1.reset();
        m_ws2.reset();
        m_folder.reset();
    }

    void browseModes() {
        const QStringList codes = firstColumn(run("SELECT ACODE FROM Asset ORDER BY ACODE"));
        QVERIFY(codes.size() > 3);
        const auto shown = [&](const QString& call) {
            const ResultSets sets = run(call);
            return sets.size() == 2 ? sets[0].rows.value(0).value(0).toString() : QString("?");
        };
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 35,''"), codes.last());
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 36,'" + codes[2] + "'"), codes.first());
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 33,'" + codes[2] + "'"), codes[1]);
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 34,'" + codes[2] + "'"), codes[3]);
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 33,'" + codes.first() + "'"), codes.first());
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 34,'" + codes.last() + "'"), codes.last());
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 99,'" + codes[2] + "'"), codes[2]);
        QCOMPARE(shown("SF_ZQ2K_ASSET_BROW 99,'" + codes[2].toLower() + "'"), codes[2]);

        const ResultSets sets = run("SF_ZQ2K_ASSET_BROW 99,'" + codes[0] + "'");
        for (const char* column : {"acode", "anam1", "anam3", "atot5", "ause3", "atim2"})
            QVERIFY2(sets[0].columnIndex(column) >= 0, column);
        for (const char* column : {"ADENO", "ADENA", "APERC", "ATOTA", "ABACK"})
            QVERIFY2(sets[1].columnIndex(column) >= 0, column);
        QVERIFY(!sets[1].rows.isEmpty());
        QVERIFY(!sets[0].rows.first()[sets[0].columnIndex("anam1")].toString().isEmpty());

        run("DELETE FROM Asset");
        const ResultSets empty = run("SF_ZQ2K_ASSET_BROW 35,''");
        QCOMPARE(empty.size(), 2);
        QVERIFY(empty[0].rows.isEmpty() && empty[1].rows.isEmpty());
    }

    void addRefusalsAndSchedule() {
        const QString existing = firstColumn(run("SELECT ACODE FROM Asset")).first();
        writeWork("0016", existing);
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 2);
        run("DELETE FROM Asset_Temp");
        writeWork("0016", "T900", 60, "9999");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'"),
                 qMakePair(QString("會計科目[ 9999 ]不存在!"), 1));
        run("UPDATE Asset_Temp SET ACOD1 = '1441'");
        writeLine("0016", 1, "01", 50);
        writeLine("0016", 2, "02", 40);
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 1);
        run("UPDATE Assetd_Temp SET APERC = 50 WHERE ASEQ = 2");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 0);

        QCOMPARE(scalar("SELECT ANAME FROM Asset WHERE ACODE = 'T900'"), QString("測試設備"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assetd WHERE ACODE = 'T900'"), QString("2"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets WHERE ACODE = 'T900'"), QString("60"));
        QCOMPARE(scalar("SELECT SUM(ATOTA) FROM Assets WHERE ACODE = 'T900'").toDouble(), 90000.0);
        QCOMPARE(scalar("SELECT MIN(ADATE) FROM Assets WHERE ACODE = 'T900'"), QString("115.01.31"));
        QCOMPARE(scalar("SELECT MAX(ADATE) FROM Assets WHERE ACODE = 'T900'"), QString("119.12.31"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Asset_Temp WHERE LCODE = '0016'"), QString("0"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assetd_Temp WHERE LCODE = '0016'"), QString("0"));

        // Seven months of a per-period amount that does not divide: the last absorbs the rest.
        writeWork("0016", "T901", 7);
        run("UPDATE Asset_Temp SET ATOT3 = 12857.14");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 0);
        const ResultSets lines = run("SELECT ATOTA FROM Assets WHERE ACODE = 'T901' ORDER BY ADATE");
        QCOMPARE(lines[0].rows.size(), 7);
        QCOMPARE(lines[0].rows[0][0].toDouble(), 12857.14);
        QCOMPARE(lines[0].rows[6][0].toDouble(), 12857.16);
    }

    void editAfterAnotherWorkstationIsRefused() {
        writeWork("0016", "T910");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 0);
        QCOMPARE(answer("SF_ZQ2K_ASSET_COPY '0016','T910'").second, 0);
        QCOMPARE(answer("SF_ZQ2K_ASSET_COPY '0017','T910'", m_ws2.get()).second, 0);
        run("UPDATE Asset_Temp SET ANAME = '第二台' WHERE LCODE = '0017'", m_ws2.get());
        QCOMPARE(answer("SF_ZQ2K_ASSET_EDIT '0017'", m_ws2.get()).second, 0);
        run("UPDATE Asset_Temp SET ANAME = '第一台', AYEAR = 30, ATOT3 = 3000 WHERE LCODE = '0016'");
        const auto refused = answer("SF_ZQ2K_ASSET_EDIT '0016'");
        QCOMPARE(refused.second, 1);
        QVERIFY(refused.first.contains("其他工作站"));
        QCOMPARE(scalar("SELECT ANAME FROM Asset WHERE ACODE = 'T910'"), QString("第二台"));

        // Copied again, the edit goes through and the schedule follows the new life.
        QCOMPARE(answer("SF_ZQ2K_ASSET_COPY '0016','T910'").second, 0);
        run("UPDATE Asset_Temp SET AYEAR = 30, ATOT3 = 3000 WHERE LCODE = '0016'");
        QCOMPARE(answer("SF_ZQ2K_ASSET_EDIT '0016'").second, 0);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets WHERE ACODE = 'T910'"), QString("30"));
        QCOMPARE(scalar("SELECT SUM(ATOTA) FROM Assets WHERE ACODE = 'T910'").toDouble(), 90000.0);
    }

    void deleteSellAndReview() {
        writeWork("0016", "T920");
        QCOMPARE(answer("SF_ZQ2K_ASSET_ADD '0016'").second, 0);
        QCOMPARE(answer("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',0").second, 1);  // not reviewed

        // Review without a split asks; the other flag confirms and records the reviewer.
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T920',0").second, 2);
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T920',1").second, 0);
        QCOMPARE(scalar("SELECT AUSE3 FROM Asset WHERE ACODE = 'T920'"), QString("系統管理員"));
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T920',0").second, 3);  // reviewed already
        QCOMPARE(answer("SF_ZQ2K_ASSET_DEL '0016','T920'").second, 1);
        QCOMPARE(answer("SF_ZQ2K_ASSET_COPY '0016','T920'").second, 1);

        // A sale before the acquisition is refused; unposted months ask; flag 2 sells.
        QCOMPARE(answer("SF_ZQ2K_ASSET_SELL '0016','T920','114.12.31',0").second, 1);
        QCOMPARE(answer("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',0").second, 2);
        QCOMPARE(answer("SF_ZQ2K_ASSET_SELL '0016','T920','115.08.01',2").second, 0);
        QCOMPARE(scalar("SELECT ASELL FROM Asset WHERE ACODE = 'T920'"), QString("1"));
        QCOMPARE(scalar("SELECT ADAT2 FROM Asset WHERE ACODE = 'T920'"), QString("115.08.01"));
        QCOMPARE(scalar("SELECT MAX(ADATE) FROM Assets WHERE ACODE = 'T920'"), QString("115.07.31"));
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T920',1").second, 1);  // sold

        // A sale dated in a closed period is done with a notice.
        writeWork("0016", "T921");
        answer("SF_ZQ2K_ASSET_ADD '0016'");
        answer("SF_ZQ2K_ASSET_RATI '0016','T921',0");
        answer("SF_ZQ2K_ASSET_RATI '0016','T921',1");
        QCOMPARE(answer("SF_ZQ2K_ASSET_SELL '0016','T921','115.01.31',2").second, 3);

        // Cancelling a review of a posted asset asks; then it can be deleted no more.
        writeWork("0016", "T922");
        answer("SF_ZQ2K_ASSET_ADD '0016'");
        answer("SF_ZQ2K_ASSET_RATI '0016','T922',0");
        answer("SF_ZQ2K_ASSET_RATI '0016','T922',1");
        run("INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('T922', '115.01.31', 1500, 'JV1')");
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T922',1").second, 2);
        QCOMPARE(answer("SF_ZQ2K_ASSET_RATI '0016','T922',0").second, 0);
        QCOMPARE(scalar("SELECT AUSE3 FROM Asset WHERE ACODE = 'T922'"), QString());
        QCOMPARE(answer("SF_ZQ2K_ASSET_DEL '0016','T922'").second, 1);

        // A plain asset is deleted and the next one is named.
        writeWork("0016", "T923");
        answer("SF_ZQ2K_ASSET_ADD '0016'");
        const QString next = scalar("SELECT MIN(ACODE) FROM Asset WHERE ACODE > 'T923'");
        QCOMPARE(answer("SF_ZQ2K_ASSET_DEL '0016','T923'"),
                 qMakePair(next.isEmpty() ? QString("T922") : next, 0));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Assets WHERE ACODE = 'T923'"), QString("0"));
    }

    void lookupPagesFollowTheSqlPages() {
        const QStringList codes = firstColumn(run("SELECT ACODE FROM Asset ORDER BY ACODE"));
        QVERIFY(codes.size() > 25);
        const auto page = [&](const QString& call) { return firstColumn(run(call)); };
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 36,'','%'"), codes.mid(0, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 35,'','%'"), codes.mid(codes.size() - 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 34,'" + codes[9] + "','%'"), codes.mid(9, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 40,'" + codes[1] + "','%'"), codes.mid(1, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 33,'" + codes[15] + "','%'"), codes.mid(6, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 33,'" + codes[3] + "','%'"), codes.mid(0, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 38,'" + codes[15] + "','%'"), codes.mid(14, 10));
        const QString prefix = codes[0].left(2);
        for (const QString& c : page("SF_ZQ2K_ASSET_F2 36,'','" + prefix.toLower() + "%'"))
            QVERIFY(c.startsWith(prefix));
        // With a pattern, the anchor and the pattern's range bound the page together: anchors
        // before, inside and after the matching codes.
        QStringList matching;
        for (const QString& c : codes)
            if (c.startsWith(prefix)) matching << c;
        QVERIFY(matching.size() > 1);
        const QString like = "','" + prefix.toLower() + "%'";
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 34,'" + matching[1] + like), matching.mid(1, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 34,'0" + like), matching.mid(0, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 34,'zzzz" + like), QStringList());
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 33,'zzzz" + like),
                 matching.mid(std::max<qsizetype>(0, matching.size() - 10)));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 38,'" + matching[1] + like), matching.mid(0, 10));
        QCOMPARE(page("SF_ZQ2K_ASSET_F2 33,'0" + like), QStringList());
        const ResultSets departments = run("SF_ZQ2K_DEPART25_F2 36,'','0_'");
        QCOMPARE(departments[0].columns, (QStringList{"a", "b"}));
        QVERIFY(!departments[0].rows.isEmpty());
    }
};

QTEST_MAIN(TestAssetProcedures)
#include "tst_assetprocedures.moc"
