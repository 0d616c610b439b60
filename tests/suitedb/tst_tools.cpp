// zqfu-setup and zqsql as programs: output, exit codes and the error line.
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
    QString database() const { return m_dir.filePath(QStringLiteral("ZQDEMO.zqdb")); }

private slots:
    void initTestCase() {
        const Run first = run(QStringLiteral("zqfu-setup"),
                              {QStringLiteral("--dir"), m_dir.path(), QStringLiteral("/SALE")});
        QCOMPARE(first.code, 0);
        QVERIFY(QFile::exists(database()));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("ZqSrvUse.dat"))));
    }

    void setupTwiceChangesNothing() {
        const QByteArray before = [&] {
            QFile f(m_dir.filePath(QStringLiteral("ZqSrvUse.dat")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const Run again =
            run(QStringLiteral("zqfu-setup"), {QStringLiteral("--dir"), m_dir.path(),
                                               QStringLiteral("--size"), QStringLiteral("100")});
        QCOMPARE(again.code, 0);
        QVERIFY(!again.out.isEmpty());
        QFile f(m_dir.filePath(QStringLiteral("ZqSrvUse.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // Four workstations' shells writing at once: every statement succeeds, no row is lost.
    void severalWritersAtOnce() {
        const int writers = 4, rows = 40;
        QList<QProcess*> processes;
        for (int w = 0; w < writers; ++w) {
            QStringList arguments = {QStringLiteral("--db"), database()};
            for (int i = 0; i < rows; ++i)
                arguments << QStringLiteral("-Q")
                          << QStringLiteral("INSERT INTO F8DATA (FSEQ, FBEGD, FEND, FDATA) VALUES "
                                            "('W%1-%2', '115.01.01', '115.12.31', '併發測試')")
                                 .arg(w)
                                 .arg(i, 3, 10, QLatin1Char('0'));
            auto* p = new QProcess(this);
            p->start(QStringLiteral(ZQ_BIN_DIR "/zqsql"), arguments);
            processes << p;
        }
        for (QProcess* p : processes) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
            QVERIFY2(p->readAllStandardError().isEmpty(), "a writer failed");
        }
        const Run count = run(QStringLiteral("zqsql"),
                              {QStringLiteral("--db"), database(), QStringLiteral("-Q"),
                               QStringLiteral("SELECT COUNT(*) FROM F8DATA WHERE FDATA = '併發測試'")});
        QCOMPARE(count.out.split('\n').value(1).trimmed(), QString::number(writers * rows));
        qDeleteAll(processes);
    }

    void plainOutput() {
        const Run r = run(QStringLiteral("zqsql"),
                          {QStringLiteral("--db"), database(), QStringLiteral("-Q"),
                           QStringLiteral("Select DEPARTNO, DENAME, NULL As X From Depart25 Where "
                                          "DEPARTNO <= '02' Order By 1; Select 1 As N")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral(
                            "DEPARTNO\tDENAME\tX\n01\t總經理室\tNULL\n02\t業務部\tNULL\n\nN\n1\n"));
        QVERIFY(r.err.isEmpty());
    }

    void jsonOutputFromStandardInput() {
        const Run r = run(
            QStringLiteral("zqsql"), {QStringLiteral("--db"), database(), QStringLiteral("--json")},
            "IF (Select 'b') > (Select 'a') Begin Select 'T' End Else Begin Select 'F' End;\n"
            "Select 2.5 As R, NULL As Z");
        QCOMPARE(r.code, 0);
        const QJsonArray sets = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets[0].toObject()[QStringLiteral("rows")].toArray()[0].toArray()[0].toString(),
                 QStringLiteral("T"));
        const QJsonArray row = sets[1].toObject()[QStringLiteral("rows")].toArray()[0].toArray();
        QCOMPARE(row[0].toDouble(), 2.5);
        QVERIFY(row[1].isNull());
        QCOMPARE(sets[1].toObject()[QStringLiteral("columns")].toArray().size(), 2);
    }

    // Rows print as they are read, in the forms of the whole answer: the JSON text is Qt's
    // compact form of the array to the byte (texts with quotes, backslashes and Chinese,
    // fractions, large numbers, NULL), a set without rows keeps its columns, a command with
    // no set adds nothing, and a run with none prints an empty array.
    void streamedForms() {
        const QStringList commands = {
            QStringLiteral("--db"),
            database(),
            QStringLiteral("-Q"),
            QStringLiteral("Select N'中文\"\\x' As T, 0.1 As D, 1e20 As E, 12345678901234 As B, "
                           "NULL As Z; Select DEPARTNO From Depart25 Where 1 = 0"),
            QStringLiteral("-Q"),
            QStringLiteral("UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0"),
            QStringLiteral("-Q"),
            QStringLiteral("EXEC SF_ZQ2K_DEPART25_F2 36,'','0%'")};
        const Run plain = run(QStringLiteral("zqsql"), commands);
        QCOMPARE(plain.code, 0);
        QVERIFY(plain.out.startsWith(
            QStringLiteral("T\tD\tE\tB\tZ\n中文\"\\x\t0.1\t1e+"
                           "20\t12345678901234\tNULL\n\nDEPARTNO\n\na\tb\n01\t")));

        const Run json =
            run(QStringLiteral("zqsql"), QStringList{QStringLiteral("--json")} + commands);
        QCOMPARE(json.code, 0);
        const QJsonDocument document = QJsonDocument::fromJson(json.out.toUtf8());
        QCOMPARE(json.out, QString::fromUtf8(document.toJson(QJsonDocument::Compact) + '\n'));
        QVERIFY(json.out.startsWith(QStringLiteral(
            "[{\"columns\":[\"T\",\"D\",\"E\",\"B\",\"Z\"],\"rows\":[[\"中文\\\"\\\\x\",0.1,1e+20,"
            "12345678901234,null]]},{\"columns\":[\"DEPARTNO\"],\"rows\":[]},{\"columns\":["
            "\"a\",")));
        QCOMPARE(document.array().size(), 3);
        const qsizetype departments =
            document.array()[2].toObject()[QStringLiteral("rows")].toArray().size();
        QVERIFY(departments > 1);
        QCOMPARE(plain.out.count(u'\n'), 6 + departments);

        const Run none =
            run(QStringLiteral("zqsql"),
                {QStringLiteral("--db"), database(), QStringLiteral("--json"), QStringLiteral("-Q"),
                 QStringLiteral("UPDATE Depart25 SET DENAME = DENAME WHERE 1 = 0")});
        QCOMPARE(none.out, QStringLiteral("[]\n"));

        // A table made in the batch is known to the statements after it.
        const Run made = run(QStringLiteral("zqsql"),
                             {QStringLiteral("--db"), database(), QStringLiteral("-Q"),
                              QStringLiteral("CREATE TABLE ZSTREAM (A INT); INSERT INTO ZSTREAM (A) "
                                             "VALUES (7); SELECT A FROM ZSTREAM")});
        QCOMPARE(made.out, QStringLiteral("A\n7\n"));
    }

    // An error after rows were printed: the rows read before it stay (of earlier commands and of
    // the failing statement), the tab-separated output stops there, the JSON array is closed
    // around them; the error line and exit code are as ever. A statement that fails before its
    // first row prints nothing of it.
    void errorAfterRows() {
        const QStringList commands = {
            QStringLiteral("--db"),
            database(),
            QStringLiteral("-Q"),
            QStringLiteral("Select 1 As N"),
            QStringLiteral("-Q"),
            QStringLiteral("Select DEPARTNO, 10 / (DEPARTNO - 3) As Q From Depart25 Order By 1"),
            QStringLiteral("-Q"),
            QStringLiteral("Select 2 As M")};
        const QString divided = QStringLiteral("Msg 0x80040E14: 發現除以零的錯誤。\n");
        const Run plain = run(QStringLiteral("zqsql"), commands);
        QCOMPARE(plain.code, 1);
        QCOMPARE(plain.out, QStringLiteral("N\n1\n\nDEPARTNO\tQ\n01\t-5\n02\t-10\n"));
        QCOMPARE(plain.err, divided);
        const Run json =
            run(QStringLiteral("zqsql"), QStringList{QStringLiteral("--json")} + commands);
        QCOMPARE(json.code, 1);
        QCOMPARE(json.out,
                 QStringLiteral("[{\"columns\":[\"N\"],\"rows\":[[1]]},{\"columns\":[\"DEPARTNO\","
                                "\"Q\"],\"rows\":[[\"01\",-5],[\"02\",-10]]}]\n"));
        QCOMPARE(json.err, divided);

        const Run first = run(QStringLiteral("zqsql"),
                              {QStringLiteral("--db"), database(), QStringLiteral("--json"),
                               QStringLiteral("-Q"), QStringLiteral("Select 10 / 0 As Q")});
        QCOMPARE(first.code, 1);
        QCOMPARE(first.out, QStringLiteral("[]\n"));
        QCOMPARE(first.err, divided);
    }

    void errorLine() {
        const Run r =
            run(QStringLiteral("zqsql"), {QStringLiteral("--db"), database(), QStringLiteral("-Q"),
                                          QStringLiteral("Select * From NOPE")});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, QStringLiteral("Msg 0x80040E37: 無效的物件名稱 'NOPE'。\n"));
        const Run missing =
            run(QStringLiteral("zqsql"),
                {QStringLiteral("--db"), m_dir.filePath(QStringLiteral("none.zqdb")),
                 QStringLiteral("-Q"), QStringLiteral("Select 1")});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.startsWith(QStringLiteral("Msg 0x80004005: ")));
    }
};

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
