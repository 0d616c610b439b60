// The database access layer: connection texts, refresh, error report, recordset, edits, trace.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#include "../shell/ScriptedDialogs.h"
#include "DataSource.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FakeDatabase.h"
#include "ProgramExit.h"
#include "Session.h"
#include "SuiteDatabase.h"
#include "Trace.h"
#include "UserSettings.h"

class TestDbAccess : public QObject {
    Q_OBJECT
    ScriptedDialogs* m_dialogs = nullptr;
    std::shared_ptr<FakeDatabase> m_db;
    std::unique_ptr<DataSource> m_source;

    // The data source connected as the windows connect theirs, refreshed with the command.
    Recordset& load(const QString& command) {
        m_source->commandText = command;
        RefreshData(*m_source, "FUA");
        return m_source->recordset();
    }

private slots:
    void init() {
        Session::reset();
        m_dialogs = ScriptedDialogs::install();
        ProgramExit::throwOnEnd();
        m_db = FakeDatabase::install();
        m_source = std::make_unique<DataSource>();
        SetConnection(*m_source);
    }

    // Connection texts as other programs write them; reading past quotes misreads the login.
    void connectionFieldsOfWrittenTexts() {
        QCOMPARE((QStringList{Connections::field("A=1; user id =sa", "User ID"),
                              Connections::field("junk;A=1", "A"),
                              Connections::field("A='it''s;B=2';B=3", "A"),
                              Connections::field("A={x;B=2", "B")}),
                 (QStringList{"sa", "1", "it's;B=2", ""}));
    }

    // No command, an empty result, the cursor's ends; a blank command is a database error.
    void refreshAndRowTests() {
        m_db->answers["SELECT 1"] = {ResultSet({"A"}, {{1}, {2}})};
        m_db->answers["SELECT none"] = {ResultSet({"A"}, {})};
        QVERIFY(!HasRecords(*m_source));  // no command text yet
        QCOMPARE(m_dialogs->shown, QStringList{"Ado物件尚未指定任何查詢內容"});
        QVERIFY(!HasCurrentRow(load("SELECT none")) && !HasRecords(*m_source));
        QVERIFY(m_source->recordset().bof() && m_source->recordset().eof());
        Recordset& rs = load("SELECT 1");
        QVERIFY(HasRecords(*m_source) && HasCurrentRow(rs));
        rs.moveNext();
        QCOMPARE(rs.field("a").toInt(), 2);  // names ignore case
        rs.moveNext();
        QVERIFY(!HasCurrentRow(rs) && rs.eof());
        rs.moveFirst();
        rs.movePrevious();
        QVERIFY(rs.bof() && !HasCurrentRow(rs));
        m_dialogs->shown.clear();
        const qsizetype sent = m_db->sent.size();
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, load("   "));
        QVERIFY(m_dialogs->shown.value(0).contains("Ado 的程式沒指定內容"));
        QCOMPARE(m_db->sent.size(), sent);
    }

    // The error report's parts, signed number, meaning (login only); the suite told to reload.
    void errorReportEndsTheProgram() {
        for (const auto& [number, meaning] :
             {std::pair(0x80040E4Du, "登錄 SQL 資料庫 ID 或 密碼錯誤"),
              std::pair(0x80040E10u, "")}) {
            m_dialogs->shown.clear();
            UserSettings::save("Zq2000", "OpenId", "FU", "1");
            m_db->answer = [number](const QString&) -> ResultSets {
                throw DbError(number, "provider text");
            };
            QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, load("SELECT x"));
            QCOMPARE(m_dialogs->shown.size(), 1);
            const QStringList parts = m_dialogs->shown[0].split("\r\n\r\n");
            QCOMPARE(parts.size(), 7);
            QCOMPARE(parts.mid(0, 4) << parts[6],
                     (QStringList{"錯誤發生位置：FUA 與資料庫連線取資料時",
                                  "錯誤代碼：" + QString::number(qint32(number)),
                                  "錯誤說明：provider text", "錯誤敘述：" + QString(meaning),
                                  "按下確定後會自動執行下載程式"}));
            QCOMPARE(UserSettings::get("ZQ2000", "OpenId", "FU"), QString("0"));
        }
    }

    // The server compares (its collation), apostrophes kept in their literals; failure reported.
    void compStrAsksTheServer() {
        SetConnection(SharedSources::comparison());
        m_db->answer = [](const QString& text) {
            return ResultSets{
                ResultSet({""}, {{text.contains("(Select 'b') > (Select 'a')") ? "T" : "F"}})};
        };
        QVERIFY(CompStr("b", "a") && !CompStr("a", "b"));
        QCOMPARE(m_db->sent.value(0), QString("IF (Select 'b') > (Select 'a') Begin Select 'T' "
                                              "End Else Begin Select 'F' End"));
        CompStr("O'N'", "a");
        QVERIFY(m_db->sent.value(2).startsWith("IF (Select 'O''N''') > (Select 'a') Begin"));
        m_db->answer = [](const QString&) -> ResultSets { throw DbError(0x80004005, "gone"); };
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, CompStr("a", "b"));
        QVERIFY(m_dialogs->shown.value(0).startsWith(
            "錯誤發生位置：CompStr-Error 與資料庫連線取資料時"));
    }

    // Find from the current row, texts compared as the server does; bookmarks; the next set.
    void findBookmarksAndBatches() {
        Recordset rs({ResultSet({"Aseq", "Aname"}, {{1, "甲"}, {3, "Abc"}, {5, "abd"}})});
        QVERIFY(rs.find("Aseq = 3"));
        const int mark = rs.bookmark();
        QVERIFY(rs.find("Aname = 'ABD  '"));  // case and trailing blanks as the server
        QCOMPARE(rs.field("Aseq").toInt(), 5);
        rs.setBookmark(mark);
        QVERIFY(rs.find("Aseq < 5"));  // from the current row on
        QCOMPARE(rs.field("Aseq").toInt(), 3);
        QVERIFY(!rs.find("Aseq > 5") && rs.eof());
        rs.moveFirst();
        QVERIFY(!rs.find("nonsense"));
        Recordset batch({ResultSet({"A"}, {{1}}), ResultSet({"B"}, {{2}, {3}})});
        QVERIFY(batch.nextRecordset());
        QCOMPARE(batch.field(0).toInt(), 2);
        QVERIFY(!batch.nextRecordset() && batch.bof() && batch.eof());
    }

    // Values keep their kind (an empty text is no null); a taken row keeps what it showed.
    void resultRowsKeepValuesAndViews() {
        ResultRows rows;
        rows.beginRow();
        rows.addInteger(-7);
        rows.addNumber(2.5);
        rows.addText("稅", 3);
        rows.addText("", 0);
        rows.addNull();
        rows.addBytes("a\0b", 3);
        rows.append({QStringLiteral("c")});
        const ResultRows::Row first = rows[0];
        QCOMPARE(first.toList(), (QVariantList{qlonglong(-7), 2.5, QStringLiteral("稅"),
                                               QString(""), QVariant(), QByteArray("a\0b", 3)}));
        QVERIFY(!first[3].toString().isNull() && !first[4].isValid());
        rows.replace(0, {1, 2});
        QCOMPARE(first[2], QVariant(QStringLiteral("稅")));  // the view kept the old row
        rows.removeAt(0);
        QCOMPARE(rows[0].toList(), QVariantList{QStringLiteral("c")});
        QVERIFY(rows[5].isEmpty() && rows.value(5).isEmpty());
    }

    // Edits name the row by all its old values, quotes doubled, past a subquery; a join refused.
    void editsBecomeStatements() {
        const QString select = "SELECT * FROM Asset_Temp WHERE Lcode = '0016'";
        m_db->answers[select] = {
            ResultSet({"Lcode", "aname", "atot1"}, {{"0016", "車", QVariant()}})};
        Recordset& rs = load(select);
        rs.setField("aname", "O'Neil's 車");
        rs.update();
        QCOMPARE(m_db->sent.last(), QString("UPDATE Asset_Temp SET aname = 'O''Neil''s 車' WHERE "
                                            "Lcode = '0016' AND aname = '車'"));
        rs.addNew();
        rs.setField("Lcode", "0016");
        rs.setField("atot1", 1500.5);
        rs.update();
        QCOMPARE(m_db->sent.last(),
                 QString("INSERT INTO Asset_Temp (Lcode, atot1) VALUES ('0016', 1500.5)"));
        rs.deleteCurrent();
        QCOMPARE(m_db->sent.last(),
                 QString("DELETE FROM Asset_Temp WHERE Lcode = '0016' AND atot1 = 1500.5"));
        rs.moveFirst();  // a number no server can hold is no value at all
        for (const double none : {std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()}) {
            rs.setField("atot1", none);
            rs.update();
            QVERIFY2(m_db->sent.last().startsWith("UPDATE Asset_Temp SET atot1 = NULL WHERE"),
                     qPrintable(m_db->sent.last()));
        }
        const QString lines =
            "Select *,Isnull((Select Dename From Depart25 Where Departno = "
            "Adeno),'') As Adena From Assetd_Temp Where Lcode = '0016'";
        m_db->answers[lines] = {ResultSet({"aseq", "Adena"}, {{1, "業務部"}})};
        m_db->answers["SELECT * FROM Assetd_Temp WHERE 1 = 0"] = {ResultSet({"lcode", "aseq"}, {})};
        load(lines).deleteCurrent();
        QCOMPARE(m_db->sent.last(), QString("DELETE FROM Assetd_Temp WHERE aseq = 1"));
        m_db->answers["SELECT * FROM A, B"] = {ResultSet({"x"}, {{1}})};  // refused unsent
        Recordset& join = load("SELECT * FROM A, B");
        const qsizetype sent = m_db->sent.size();
        join.setField("x", 2);
        QVERIFY_THROWS_EXCEPTION(DbError, join.update());
        QCOMPARE(m_db->sent.size(), sent);
    }

    // The trace file gets a line per statement and per message, with its place and answer.
    void traceRecordsStatementsAndMessages() {
        QTemporaryDir dir;
        QFile file(dir.filePath("trace.jsonl"));
        qputenv("ZQFU_TRACE", file.fileName().toUtf8());
        Trace::reload();
        m_db->answers["SELECT 1"] = {ResultSet({"A"}, {{1}})};
        load("SELECT 1");
        Dialogs::ask("是否確定?", Dialogs::Buttons::YesNo, Dialogs::Answer::No);
        qputenv("ZQFU_TRACE", "");
        Trace::reload();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QJsonObject sql = QJsonDocument::fromJson(lines[0]).object();
        QVERIFY(sql.take("ms").isDouble());
        QCOMPARE(sql, (QJsonObject{{"t", "sql"}, {"place", "FUA"}, {"text", "SELECT 1"}}));
        QCOMPARE(QJsonDocument::fromJson(lines[1]).object(),
                 (QJsonObject{
                     {"t", "msg"}, {"text", "是否確定?"}, {"buttons", "yesno"}, {"answer", "no"}}));
    }
};

QTEST_MAIN(TestDbAccess)
#include "tst_dbaccess.moc"
