// zqfu-setup and zqsql as programs: output, exit codes and the error line.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(ZQ_BIN_DIR "/") + program, arguments);
    if (!p.waitForStarted()) return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
}  // namespace

class ToolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString database() const { return m_dir.filePath("ZQDEMO.zqdb"); }
    // zqsql on the demo database with each text as a -Q command, tab-separated or in JSON.
    QStringList arguments(const QStringList& texts, bool json = false) const {
        QStringList out = {"--db", database()};
        if (json) out << "--json";
        for (const QString& text : texts) out << "-Q" << text;
        return out;
    }
    Run plain(const QStringList& texts) { return run("zqsql", arguments(texts)); }
    Run json(const QStringList& texts) { return run("zqsql", arguments(texts, true)); }

private slots:
    void initTestCase() {
        QCOMPARE(run("zqfu-setup", {"--dir", m_dir.path(), "/SALE"}).code, 0);
        QVERIFY(QFile::exists(database()));
        QVERIFY(QFileInfo(m_dir.filePath("ZqSrvUse.dat")).size() > 0);
    }

    // Four workstations' shells writing at once: every statement succeeds, no row is lost.
    void severalWritersAtOnce() {
        QList<QProcess*> processes;
        for (int w = 0; w < 4; ++w) {
            QStringList texts;
            for (int i = 0; i < 40; ++i)
                texts << QString(
                             "INSERT INTO F8DATA (FSEQ, FBEGD, FEND, FDATA) VALUES ('W%1-%2', "
                             "'115.01.01', '115.12.31', '併發測試')")
                             .arg(w)
                             .arg(i);
            processes << new QProcess(this);
            processes.last()->start(ZQ_BIN_DIR "/zqsql", arguments(texts));
        }
        for (QProcess* p : processes) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
            QVERIFY2(p->readAllStandardError().isEmpty(), "a writer failed");
        }
        qDeleteAll(processes);
        QCOMPARE(plain({"SELECT COUNT(*) FROM F8DATA WHERE FDATA = '併發測試'"}).out, "\n160\n");
    }

    // A batch of two statements read from standard input.
    void standardInput() {
        const Run j = run("zqsql", {"--db", database(), "--json"}, "Select 'T';\nSelect 2.5 As R");
        QCOMPARE(j.code, 0);
        QCOMPARE(
            j.out,
            "[{\"columns\":[\"\"],\"rows\":[[\"T\"]]},{\"columns\":[\"R\"],\"rows\":[[2.5]]}]\n");
    }

    // Rows print as they are read: JSON in Qt's compact form to the byte (quotes, backslashes,
    // Chinese, fractions, large numbers, NULL); a set without rows keeps its columns; a command
    // without a set adds nothing, and a run with none prints an empty array.
    void streamedForms() {
        const QStringList texts = {
            "Select N'中文\"\\x' As T, 0.1 As D, 1e20 As E, 12345678901234 As B, NULL As Z; "
            "Select DEPARTNO From Depart25 Where 1 = 0",
            "UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0",
            "EXEC SF_ZQ2K_DEPART25_F2 36,'','0%'"};
        const Run p = plain(texts);
        QVERIFY(p.code == 0 && p.err.isEmpty());
        QVERIFY(
            p.out.startsWith("T\tD\tE\tB\tZ\n中文\"\\x\t0.1\t1e+"
                             "20\t12345678901234\tNULL\n\nDEPARTNO\n\na\tb\n01\t"));

        const Run j = json(texts);
        QCOMPARE(j.code, 0);
        const QJsonDocument document = QJsonDocument::fromJson(j.out.toUtf8());
        QCOMPARE(j.out, QString::fromUtf8(document.toJson(QJsonDocument::Compact) + '\n'));
        QVERIFY(j.out.startsWith(
            "[{\"columns\":[\"T\",\"D\",\"E\",\"B\",\"Z\"],\"rows\":[[\"中文\\\"\\\\x\",0.1,1e+20,"
            "12345678901234,null]]},{\"columns\":[\"DEPARTNO\"],\"rows\":[]},{\"columns\":["
            "\"a\","));
        const qsizetype departments = document.array().last().toObject()["rows"].toArray().size();
        QCOMPARE(p.out.count(u'\n'), 6 + departments);  // every row printed

        QCOMPARE(json({"UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0"}).out, "[]\n");
        // A table made in the batch is known to the statements after it.
        QCOMPARE(
            plain({"CREATE TABLE ZSTREAM (A INT); INSERT INTO ZSTREAM (A) VALUES (7); SELECT A "
                   "FROM ZSTREAM"})
                .out,
            "A\n7\n");
    }

    // An error after rows were printed: the rows read before it stay (of earlier commands and
    // of the failing statement), the tab-separated output stops there, the JSON array is
    // closed around them; the error line and exit code are as ever. A statement that fails
    // before its first row prints nothing of it.
    void errorAfterRows() {
        const QStringList texts = {
            "Select 1 As N", "Select DEPARTNO, 10 / (DEPARTNO - 3) As Q From Depart25 Order By 1",
            "Select 2 As M"};
        const QString divided = "Msg 0x80040E14: 發現除以零的錯誤。\n";
        const Run p = plain(texts), j = json(texts), first = json({"Select 10 / 0 As Q"});
        QCOMPARE(p.out, "N\n1\n\nDEPARTNO\tQ\n01\t-5\n02\t-10\n");
        QCOMPARE(j.out,
                 "[{\"columns\":[\"N\"],\"rows\":[[1]]},{\"columns\":[\"DEPARTNO\",\"Q\"],"
                 "\"rows\":[[\"01\",-5],[\"02\",-10]]}]\n");
        QCOMPARE(first.out, "[]\n");
        for (const Run& r : {p, j, first}) QVERIFY(r.code == 1 && r.err == divided);
    }

    // A database that cannot be opened: the provider's number, exit code 1.
    void missingDatabase() {
        const Run r = run("zqsql", {"--db", m_dir.filePath("none.zqdb"), "-Q", "Select 1"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.startsWith("Msg 0x80004005: "));
    }
};

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
