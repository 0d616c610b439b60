// What keeps the register whole whatever a workstation does.
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include "Clock.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "Values.h"

namespace {
using Line = std::pair<QString, double>;  // a schedule line: date and amount

// A new asset's work row: 100,000 cost, 10,000 residual value, acquired 115.01.15.
struct WorkRow {
    QString ws = "0016";
    QString code;
    double cost = 100000, residual = 10000, amortised = 0, months = 60;
};
}  // namespace

class TestRegisterSafety : public QObject {
    Q_OBJECT
    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

    ResultSets run(const QString& text, EmbeddedDatabase* db = nullptr) {
        return (db ? db : m_db.get())->execute(text);
    }
    // A procedure's answer as "status message", or its status alone.
    QString said(const QString& text, EmbeddedDatabase* db = nullptr) {
        const QVariantList row = run(text, db).value(0).rows.value(0);
        return row.isEmpty() ? "none" : row.value(1).toString() + u' ' + row.value(0).toString();
    }
    int status(const QString& text, EmbeddedDatabase* db = nullptr) {
        const QString s = said(text, db);
        return s == "none" ? -99 : s.section(u' ', 0, 0).toInt();
    }
    // The first value of a query. A database error fails the check that asked, with its text,
    // and leaves the other test functions to run.
    QString scalar(const QString& sql) {
        try {
            return run(sql).value(0).rows.value(0).value(0).toString();
        } catch (const DbError& e) {
            QTest::qFail(qPrintable(sql + u'\n' + e.hexNumber() + u' ' + e.description()), __FILE__,
                         __LINE__);
            return QStringLiteral("(database error)");
        }
    }
    void writeWork(const WorkRow& w, EmbeddedDatabase* db = nullptr) {
        const auto n = [](double v) { return QString::number(v, 'f', 2); };
        run(QString("INSERT INTO Asset_Temp (LCODE, ACODE, ANAME, ACOD1, ACOD2, ACOD3, ADAT1, "
                    "ATOTA, ATOT1, AYEAR, ATOT2, ATOT3, ASELL) VALUES ('%1', '%2', '測試設備', "
                    "'1441', '6125', '1442', '115.01.15', %3, %4, %5, %6, 0, 0)")
                .arg(w.ws, w.code, n(w.cost), n(w.residual), QString::number(w.months),
                     n(w.amortised)),
            db);
    }
    void writeLine(int seq, const QString& dept, double share, EmbeddedDatabase* db = nullptr) {
        run(QString("INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, ADENO, APERC, ATOTA) VALUES "
                    "('0016', '', %1, '%2', %3, 0)")
                .arg(QString::number(seq), dept, QString::number(share)),
            db);
    }
    QList<Line> schedule(const QString& code) {
        QList<Line> out;
        const QString sql = "SELECT ADATE, ATOTA FROM Assets WHERE ACODE = '%1' AND ASOUR = ''";
        for (const QVariantList& r : run(sql.arg(code) + " ORDER BY ADATE").value(0).rows)
            out.append({r[0].toString(), r[1].toDouble()});
        return out;
    }
    // Rows of the tables whose key is the value; by default an asset's rows in the register.
    int rowsOf(const QString& value, const QString& key = "ACODE",
               const QStringList& tables = {"Asset", "Assets", "Assetd"}) {
        QStringList counts;
        for (const QString& t : tables)
            counts << QString("(SELECT COUNT(*) FROM %1 WHERE %2 = '%3')").arg(t, key, value);
        return scalar("SELECT " + counts.join(" + ")).toInt();
    }
    int workRows(const QString& ws) { return rowsOf(ws, "LCODE", {"Asset_Temp", "Assetd_Temp"}); }
    // Adds an asset through the work rows, cleaning them up after a refusal; the answer.
    QString add(const WorkRow& w) {
        writeWork(w);
        const QString result = said("SF_ZQ2K_ASSET_ADD '" + w.ws + "'");
        if (!result.startsWith("0 ")) said("SF_ZQ2K_ASSET_CLEAN '" + w.ws + "'");
        return result;
    }

private slots:
    void initTestCase() {
        m_db = std::make_unique<EmbeddedDatabase>(m_folder.database());
        run("UPDATE LSTA SET LUSER = 'ADM'; UPDATE JE SET JDATE = '114.12.31'");
    }

    // A session's work rows are its own: killed, abandoned or beside another session.
    void sessionsWorkStaysTheirOwn() {
        // A killed session's work rows never reach the register, nor do an empty add or edit.
        const auto abandon = [&](const QString& code) {
            EmbeddedDatabase dead(m_folder.database());  // ends without cleaning, as if killed
            writeWork({"0016", code}, &dead);
            writeLine(1, "01", 60, &dead);
            writeLine(2, "02", 40, &dead);
        };
        abandon("DEAD1");
        QCOMPARE(workRows("0016"), 3);
        EmbeddedDatabase next(m_folder.database());
        QCOMPARE(status("SF_ZQ2K_SALE '0016','ADM',1", &next), 0);
        QCOMPARE(workRows("0016"), 0);
        abandon("DEAD2");
        writeWork({"0016", "LIVE2"}, &next);
        writeLine(1, "03", 100, &next);
        QCOMPARE(said("SF_ZQ2K_ASSET_ADD '0016'", &next), "0 LIVE2");
        QCOMPARE(rowsOf("DEAD2"), 0);
        QCOMPARE(scalar("SELECT COUNT(*) * 1000 + SUM(APERC) FROM Assetd WHERE ACODE = 'LIVE2'"),
                 QString("1100"));
        abandon("DEAD3");
        QCOMPARE(said("SF_ZQ2K_ASSET_ADD '0016'", &next), "1 沒有待新增的財產資料!");
        QCOMPARE(status("SF_ZQ2K_ASSET_EDIT '0016'", &next), 1);
        QCOMPARE(rowsOf("DEAD3") + workRows("0016"), 0);
        // A second open session of a workstation writes nothing; two assets in work are refused.
        EmbeddedDatabase first(m_folder.database()), second(m_folder.database());
        writeWork({"0020", "OPEN1"}, &first);
        try {
            writeWork({"0020", "OPEN2"}, &second);
            QFAIL("a second session wrote the workstation's work rows");
        } catch (const DbError& e) {
            QVERIFY2(e.description().contains("另一個作業"), qPrintable(e.description()));
        }
        QVERIFY(said("SF_ZQ2K_ASSET_ADD '0020'", &second).contains("另一個作業"));
        QCOMPARE(status("SF_ZQ2K_ASSET_COPY '0020','LIVE2'", &second), 1);
        said("SF_ZQ2K_ASSET_CLEAN '0020'", &second);
        QCOMPARE(said("SF_ZQ2K_ASSET_ADD '0020'", &first), "0 OPEN1");
        QCOMPARE(rowsOf("OPEN2"), 0);
        writeWork({"0020", "TWO1"}, &first);
        writeWork({"0020", "TWO2"}, &first);
        QCOMPARE(status("SF_ZQ2K_ASSET_ADD '0020'", &first), 1);
        QCOMPARE(rowsOf("TWO1") + rowsOf("TWO2"), 0);
        said("SF_ZQ2K_ASSET_CLEAN '0020'", &first);
    }

    // Amounts, life and shares at their bounds: refused writing nothing, or scheduled evenly.
    void refusalsAtTheirBoundaries() {
        const char* const life = "耐用月數必須是1到1200之間的整數!";
        const struct {
            double cost, residual, amortised, months;
            const char* refusal = "";  // empty: taken
        } cases[] = {{0, 0, 0, 12, "取得原價必須大於0!"},
                     {0.01, 0, 0, 1},
                     {999999999999.0, 0, 0, 12},
                     {1000000000000.0, 0, 0, 12, "取得原價不可大於999999999999!"},
                     {1000, 600, 400, 12},
                     {1000, 600, 400.01, 12, "預留殘值及已攤提金額不可大於取得原價!"},
                     {1000, -1, 0, 12, "預留殘值不可小於0!"},
                     {1000, 0, -0.01, 12, "已攤提金額不可小於0!"},
                     {1000, 0, 0, 0, life},
                     {1000, 0, 0, 1200},
                     {1000, 0, 0, 1201, life},
                     {1000, 0, 0, 1.5, life},
                     {1, 0, 0, 150}};  // B005: residual and amortised equal to the cost
        int serial = 0;
        for (const auto& c : cases) {
            const QString code = QString("B%1").arg(++serial, 3, 10, QChar('0'));
            const QString result = add({"0016", code, c.cost, c.residual, c.amortised, c.months});
            if (*c.refusal) {
                QCOMPARE(result + QString::number(rowsOf(code)),
                         "1 " + QString::fromUtf8(c.refusal) + "0");
                continue;
            }
            QVERIFY2(result.startsWith("0 "), qPrintable(code + u' ' + result));
            const QList<Line> lines = schedule(code);
            QCOMPARE(lines.size(), int(c.months));
            double sum = 0;
            for (const Line& l : lines) {
                QVERIFY2(l.second >= 0 && (l.second == lines[0].second || &l == &lines.last()),
                         qPrintable(code + u' ' + l.first));
                sum += l.second;
            }
            QCOMPARE(qRound64(sum * 100), qRound64((c.cost - c.residual - c.amortised) * 100));
        }
        // Shares must be positive and name each department once.
        writeWork({"0016", "S001"});
        writeLine(1, "01", 100.5);
        writeLine(2, "02", -0.5);
        QCOMPARE(said("SF_ZQ2K_ASSET_ADD '0016'"), "1 部門攤提比例必須大於0!");
        run("UPDATE Assetd_Temp SET ADENO = '01', APERC = 50 WHERE LCODE = '0016'");
        QCOMPARE(said("SF_ZQ2K_ASSET_ADD '0016'"), "1 部門代號[ 01 ]重覆設定!");
        QCOMPARE(rowsOf("S001"), 0);
        said("SF_ZQ2K_ASSET_CLEAN '0016'");
    }

    // Sales and reviews ask at their boundaries, and only the call asked answers.
    void saleAndReviewQuestions() {
        // A sale before acquisition is refused; one unposted month up to the sale asks.
        for (const QString code : {"SALE1", "SALE2"}) {
            QVERIFY(add({"0016", code}).startsWith("0 "));
            QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','" + code + "',0"), 2);  // no split: asks
            QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','" + code + "',1"), 0);
        }
        QCOMPARE(said("SF_ZQ2K_ASSET_SELL '0016','SALE1','115.01.14',0"),
                 "1 售出日期不可小於取得日期!");
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','SALE1','115.01.15',0"), 0);
        const QString asked = said("SF_ZQ2K_ASSET_SELL '0016','SALE2','115.01.31',0");
        QVERIFY2(asked.startsWith("2 ") && asked.contains(" 1 期"), qPrintable(asked));
        QCOMPARE(status("SF_ZQ2K_ASSET_SELL '0016','SALE2','115.01.30',0"), 0);
        QCOMPARE(schedule("SALE1") + schedule("SALE2"), QList<Line>());
        // A question is answered only by its own call, not after another workstation acted.
        for (const char* code : {"Q001", "Q002", "Q003"})
            QVERIFY(add({"0016", code}).startsWith("0 "));
        run("INSERT INTO Assetd (ACODE, ASEQ, ADENO, APERC, ATOTA) VALUES ('Q001',1,'01',100,0);"
            "INSERT INTO Assets (ACODE, ADATE, ATOTA, ASOUR) VALUES ('Q001','115.01.31',1,'JV')");
        EmbeddedDatabase other(m_folder.database());
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','Q001',0"), 0);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','Q001',1"), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0017','Q001',1", &other), 2);
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0017','Q001',0", &other), 0);
        QCOMPARE(scalar("SELECT AUSE3 FROM Asset WHERE ACODE = 'Q001'"), QString());
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','Q001',0"), 0);
        QVERIFY(!scalar("SELECT AUSE3 FROM Asset WHERE ACODE = 'Q001'").isEmpty());
        // A question about one asset is no answer for another.
        QCOMPARE(status("SF_ZQ2K_ASSET_RATI '0016','Q002',0"), 2);
        QCOMPARE(said("SF_ZQ2K_ASSET_RATI '0016','Q003',1"), "3 財產編號[ Q003 ]尚未覆核!");
        QCOMPARE(
            scalar("SELECT COUNT(*) FROM Asset WHERE ACODE IN ('Q002','Q003') AND AUSE3 <> ''"),
            QString("0"));
    }

    // Edits keep every line up to the closing date and share the rest over open months.
    void editsNeverRewriteClosedMonths() {
        const QDate today = Clock::today();
        const QString closing = DateToRoc(QDate(today.year(), today.month(), 1).addDays(-1));
        run("UPDATE JE SET JDATE = '" + closing + "'");
        const QString code = scalar(
            "SELECT TOP 1 ACODE FROM Asset A WHERE ATOT2 > 0 AND ASELL = 0 AND ATOT4 > 0 AND "
            "(SELECT COUNT(*) FROM Assets S WHERE S.ACODE = A.ACODE AND ASOUR = '' AND ADATE > '" +
            closing + "') > 3 ORDER BY ACODE");
        QVERIFY(!code.isEmpty());
        run("UPDATE Asset SET AUSE3 = '' WHERE ACODE = '" + code + "'");
        const QList<Line> before = schedule(code);
        const auto edit = [&](const QString& change) {
            if (status("SF_ZQ2K_ASSET_COPY '0016','" + code + "'") != 0) return -1;
            run("UPDATE Asset_Temp SET " + change + " WHERE LCODE = '0016'");
            const int result = status("SF_ZQ2K_ASSET_EDIT '0016'");
            if (result != 0) said("SF_ZQ2K_ASSET_CLEAN '0016'");
            return result;
        };
        QCOMPARE(edit("ANAME = '改名'"), 0);
        QCOMPARE(schedule(code), before);
        QCOMPARE(edit("ATOTA = ATOTA + 12000"), 0);
        const QList<Line> after = schedule(code);
        QCOMPARE(after.size(), before.size());
        qsizetype closed = 0;
        while (closed < before.size() && before[closed].first <= closing) ++closed;
        QVERIFY(before.size() - closed > 2);
        QCOMPARE(after.mid(0, closed), before.mid(0, closed));
        double kept = 0, sum = 0;
        for (qsizetype i = 0; i < after.size(); ++i) {
            QCOMPARE(after[i].first, before[i].first);
            QVERIFY(i <= closed || i + 1 == after.size() ||
                    after[i].second == after[closed].second);
            (i < closed ? kept : sum) += after[i].second;
        }
        const QString total =
            scalar("SELECT ATOTA - ATOT1 - ATOT2 FROM Asset WHERE ACODE = '" + code + "'");
        QCOMPARE(qRound64((kept + sum) * 100), qRound64(total.toDouble() * 100));
        // A life as long as the closed months: only when nothing remains to depreciate.
        const QString life = QString("AYEAR = %1").arg(closed);
        QCOMPARE(edit(QString("AYEAR = %1").arg(closed - 1)), 1);
        QCOMPARE(edit(life), 1);
        QCOMPARE(edit(life + QString(", ATOTA = ATOT1 + ATOT2 + %1").arg(kept, 0, 'f', 2)), 0);
        QCOMPARE(schedule(code), before.mid(0, closed));
        QCOMPARE(workRows("0016"), 0);
    }

    // Workstations killed (kill -9) mid-write leave every asset whole and nothing else.
    void killedWorkstationsLeaveNothingHalfWritten() {
        const QStringList stations = {"0011", "0012", "0013", "0014"};
        const auto start = [&](const QString& ws, int count) {
            auto* p = new QProcess(this);
            p->start(REGISTER_CLIENT, {m_folder.database(), ws, QString::number(count)});
            return p;
        };
        QList<QProcess*> steady;
        for (const QString& ws : stations.mid(0, 2)) steady.append(start(ws, 30));
        QRandomGenerator random(20261205);
        int killed = 0;
        for (int round = 0; round < 6; ++round) {
            QList<QProcess*> doomed;
            for (const QString& ws : stations.mid(2)) doomed.append(start(ws, 1000));
            for (QProcess* p : doomed) QVERIFY(p->waitForStarted());
            QTest::qWait(150 + int(random.bounded(400)));
            for (QProcess* p : doomed) {
                killed += p->state() == QProcess::Running;
                p->kill();
                p->waitForFinished();
                delete p;
            }
        }
        QVERIFY(killed >= 8);
        // A new session of each killed workstation works as if nothing had happened.
        for (const QString& ws : stations.mid(2)) steady.append(start(ws, 5));
        for (QProcess* p : steady) {
            QVERIFY(p->state() == QProcess::NotRunning || p->waitForFinished(120000));
            QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                     p->readAllStandardOutput().right(200).constData());
            delete p;
        }
        QVERIFY(scalar("SELECT COUNT(*) FROM Asset WHERE ACODE LIKE 'K%'").toInt() >= 60);
        for (const char* broken :
             {"Asset A WHERE ACODE LIKE 'K%' AND ((SELECT COUNT(*) FROM Assets S WHERE S.ACODE = "
              "A.ACODE) <> AYEAR OR ABS((SELECT SUM(ATOTA) FROM Assets S WHERE S.ACODE = A.ACODE) "
              "- (ATOTA - ATOT1 - ATOT2)) > 0.001 OR (SELECT SUM(APERC) FROM Assetd D WHERE "
              "D.ACODE = A.ACODE) <> 100 OR (SELECT MIN(ATOTA) FROM Assets S WHERE S.ACODE = "
              "A.ACODE) < 0)",
              "Assets T WHERE ACODE LIKE 'K%' AND ACODE NOT IN (SELECT ACODE FROM Asset)",
              "Assetd T WHERE ACODE LIKE 'K%' AND ACODE NOT IN (SELECT ACODE FROM Asset)",
              "Asset_Temp WHERE LCODE IN ('0011', '0012', '0013', '0014')"})
            QVERIFY2(scalar(QString("SELECT COUNT(*) FROM ") + broken) == "0", broken);
        SqliteConnection file(m_folder.database(), SqliteConnection::OpenMode::Existing);
        QCOMPARE(file.scalar("PRAGMA integrity_check").toString(), QString("ok"));
    }
};

QTEST_MAIN(TestRegisterSafety)
#include "tst_registersafety.moc"
