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
    Run zqsql(const QStringList& texts, bool json = false) const {
        QStringList arguments = {"--db", database()};
        if (json) arguments << "--json";
        for (const QString& text : texts) arguments << "-Q" << text;
        return run("zqsql", arguments);
    }

private slots:
    void initTestCase() {
        QCOMPARE(run("zqfu-setup", {"--dir", m_dir.path(), "/SALE"}).code, 0);
        QVERIFY(QFile::exists(database()));
        QVERIFY(QFileInfo(m_dir.filePath("ZqSrvUse.dat")).size() > 0);
    }

    // Rows stream as read, in both forms, up to an error that ends with its line.
    void streamedFormsAndErrors() {
        // Rows stream as read: JSON compact to the byte, empty sets keep columns.
        const QStringList texts = {
            "Select N'中文\"\\x' As T, 0.1 As D, 1e20 As E, 12345678901234 As B, NULL As Z; "
            "Select DEPARTNO From Depart25 Where 1 = 0",
            "UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0",
            "EXEC SF_ZQ2K_DEPART25_F2 36,'','0%'"};
        const Run p = zqsql(texts);
        QVERIFY(p.code == 0 && p.err.isEmpty());
        QVERIFY(
            p.out.startsWith("T\tD\tE\tB\tZ\n中文\"\\x\t0.1\t1e+"
                             "20\t12345678901234\tNULL\n\nDEPARTNO\n\na\tb\n01\t"));
        const Run j = zqsql(texts, true);
        QCOMPARE(j.code, 0);
        const QJsonDocument document = QJsonDocument::fromJson(j.out.toUtf8());
        QCOMPARE(j.out, QString::fromUtf8(document.toJson(QJsonDocument::Compact) + '\n'));
        QVERIFY(j.out.startsWith(
            "[{\"columns\":[\"T\",\"D\",\"E\",\"B\",\"Z\"],\"rows\":[[\"中文\\\"\\\\x\",0.1,1e+20,"
            "12345678901234,null]]},{\"columns\":[\"DEPARTNO\"],\"rows\":[]},{\"columns\":["
            "\"a\","));
        const qsizetype departments = document.array().last().toObject()["rows"].toArray().size();
        QCOMPARE(p.out.count(u'\n'), 6 + departments);  // every row printed
        QCOMPARE(zqsql({"UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0"}, true).out, "[]\n");
        // A batch from standard input; a table it makes is known to the statements after it.
        const Run input = run("zqsql", {"--db", database(), "--json"},
                              "Select 'T';\nCREATE TABLE ZSTREAM (A INT); INSERT INTO ZSTREAM (A) "
                              "VALUES (7); SELECT A FROM ZSTREAM");
        QCOMPARE(
            input.out,
            "[{\"columns\":[\"\"],\"rows\":[[\"T\"]]},{\"columns\":[\"A\"],\"rows\":[[7]]}]\n");
        // An error keeps the rows printed before it, closes the JSON and exits 1 with its line.
        const QStringList failing = {
            "Select 1 As N", "Select DEPARTNO, 10 / (DEPARTNO - 3) As Q From Depart25 Order By 1",
            "Select 2 As M"};
        const QString divided = "Msg 0x80040E14: 發現除以零的錯誤。\n";
        const Run fp = zqsql(failing), fj = zqsql(failing, true),
                  first = zqsql({"Select 10 / 0 As Q"}, true);
        QCOMPARE(fp.out, "N\n1\n\nDEPARTNO\tQ\n01\t-5\n02\t-10\n");
        QCOMPARE(fj.out,
                 "[{\"columns\":[\"N\"],\"rows\":[[1]]},{\"columns\":[\"DEPARTNO\",\"Q\"],"
                 "\"rows\":[[\"01\",-5],[\"02\",-10]]}]\n");
        QCOMPARE(first.out, "[]\n");
        for (const Run& r : {fp, fj, first}) QVERIFY(r.code == 1 && r.err == divided);
        const Run none = run("zqsql", {"--db", m_dir.filePath("none.zqdb"), "-Q", "Select 1"});
        QVERIFY(none.code == 1 && none.err.startsWith("Msg 0x80004005: "));
    }
};

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
