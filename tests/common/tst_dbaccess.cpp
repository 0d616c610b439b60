// The database access layer: connection text, refresh and the error report, the recordset's
// cursor, find and edits, the comparison on the server, the trace.
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

namespace {
ResultSet table(const QStringList& columns, const QList<QVariantList>& rows) {
    return ResultSet{columns, rows};
}

// Adds a data row per line of texts: its name, then the value of each column.
void addRows(std::initializer_list<std::initializer_list<const char*>> rows) {
    for (const auto& row : rows) {
        QTestData& data = QTest::newRow(*row.begin());
        for (auto it = row.begin() + 1; it != row.end(); ++it) data << QString::fromUtf8(*it);
    }
}
}  // namespace

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

    // The provider's connection text as the server's driver expects it, word for word.
    void connectionText() {
        Session& s = Session::current();
        s.dbName = "ZQDEMO";
        s.dbUser = "sa";
        s.dbPassword = "pw";
        s.persistSecurity = "True";
        SetConnection(*m_source);
        QCOMPARE(m_source->connectionText,
                 QString("Provider=MSDASQL.1;Password=pw;Persist Security Info=True;User ID=sa;"
                         "Data Source=zqpro;Initial Catalog=ZQDEMO"));
    }

    // Values that hold the text's syntax are written in braces, every '}' doubled, and read
    // back whole: a password can neither end early nor name another data source.
    void connectionTextKeepsValuesWhole_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("written");
        addRows({
            {"closing brace", "a};Data Source=evil", "Password={a}};Data Source=evil};"},
            {"braces", "{x}", "Password={{x}}};"},
            {"blanks around", "  pw ", "Password={  pw };"},
            {"blank inside", "p w", "Password=p w;"},
        });
    }
    void connectionTextKeepsValuesWhole() {
        QFETCH(QString, password);
        QFETCH(QString, written);
        Session& s = Session::current();
        s.dbPassword = password;
        s.dbUser = "O'Neil;x";
        s.dbName = "ZQ;2K";
        const QString text = ConnectionText();
        QVERIFY2(text.contains(written), qPrintable(text));
        QVERIFY(text.contains("User ID={O'Neil;x};"));
        QCOMPARE(
            (QStringList{Connections::field(text, "Password"), Connections::field(text, "User ID"),
                         Connections::field(text, "Data Source"),
                         Connections::field(text, "Initial Catalog")}),
            (QStringList{password, s.dbUser, "zqpro", s.dbName}));
    }

    // Texts as another program may write them: quoted values, blanks around names, names in
    // any case, parts without a value; a value read past its quotes would misread the login.
    void connectionFieldsOfWrittenTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        addRows({
            {"name in any case, blanks around it", "A=1; user id =sa", "User ID", "sa"},
            {"absent", "A=1;B=2", "C", ""},
            {"part without a value", "junk;A=1", "A", "1"},
            {"brace doubled", "A={x}};B=2}", "A", "x};B=2"},
            {"single quotes", "A='it''s;B=2';B=3", "A", "it's;B=2"},
            {"brace not closed", "A={x;B=2", "B", ""},
        });
    }
    void connectionFieldsOfWrittenTexts() {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(Connections::field(text, name), value);
    }

    // No command, an empty result, the cursor's ends; a blank command is a database error.
    void refreshAndRowTests() {
        m_db->answers["SELECT 1"] = {table({"A"}, {{1}, {2}})};
        m_db->answers["SELECT none"] = {table({"A"}, {})};
        QVERIFY(!HasRecords(*m_source));  // no command text yet
        QCOMPARE(m_dialogs->shown, QStringList{"Ado物件尚未指定任何查詢內容"});

        QVERIFY(!HasCurrentRow(load("SELECT none")));
        QVERIFY(!HasRecords(*m_source));
        QVERIFY(m_source->recordset().bof() && m_source->recordset().eof());

        Recordset& rs = load("SELECT 1");
        QVERIFY(HasRecords(*m_source) && HasCurrentRow(rs));
        rs.moveNext();
        QCOMPARE(rs.field("a").toInt(), 2);  // names ignore case
        rs.moveNext();
        QVERIFY(!HasCurrentRow(rs) && rs.eof());
        rs.moveNext();  // stays at the end
        QVERIFY(rs.eof());
        rs.moveFirst();
        rs.movePrevious();
        QVERIFY(rs.bof() && !HasCurrentRow(rs));

        m_dialogs->shown.clear();
        const qsizetype sent = m_db->sent.size();
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, load("   "));
        QVERIFY(m_dialogs->shown.value(0).contains("Ado 的程式沒指定內容"));
        QCOMPARE(m_db->sent.size(), sent);
    }

    // The central error report: its parts, the signed number, the meaning, the suite told.
    void errorReportEndsTheProgram_data() {
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("meaning");
        QTest::newRow("login") << quint32(0x80040E4D) << "登錄 SQL 資料庫 ID 或 密碼錯誤";
        QTest::newRow("other") << quint32(0x80040E10) << "";
    }
    void errorReportEndsTheProgram() {
        QFETCH(quint32, number);
        QFETCH(QString, meaning);
        UserSettings::save("Zq2000", "OpenId", "FU", "1");
        m_db->errors.insert("SELECT x", DbError(number, "provider text"));
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, load("SELECT x"));
        QCOMPARE(m_dialogs->shown.size(), 1);
        const QStringList parts = m_dialogs->shown[0].split("\r\n\r\n");
        QCOMPARE(parts.size(), 7);
        QCOMPARE(parts[0], QString("錯誤發生位置：FUA 與資料庫連線取資料時"));
        QCOMPARE(parts[1], "錯誤代碼：" + QString::number(qint32(number)));
        QCOMPARE(parts[2], QString("錯誤說明：provider text"));
        QCOMPARE(parts[3], "錯誤敘述：" + meaning);
        QCOMPARE(parts[5], QString("並請記得留下您的聯絡電話及大名,以方便我們與您聯絡"));
        QCOMPARE(parts[6], QString("按下確定後會自動執行下載程式"));
        QCOMPARE(Session::current().lastDbError, QString("provider text"));
        // The same setting whichever way the application name is written.
        QCOMPARE(UserSettings::get("ZQ2000", "OpenId", "FU"), QString("0"));
    }

    // The server compares (its collation), apostrophes kept in their literals; failure reported.
    void compStrAsksTheServer() {
        SetConnection(SharedSources::comparison());
        m_db->answer = [](const QString& text) {
            // The server's answer: 'b' after 'a' only.
            const bool after = text.contains("(Select 'b') > (Select 'a')");
            return ResultSets{table({""}, {{after ? "T" : "F"}})};
        };
        QVERIFY(CompStr("b", "a"));
        QVERIFY(!CompStr("a", "b"));
        QVERIFY(!CompStr("a", "a"));
        QCOMPARE(m_db->sent.value(0), QString("IF (Select 'b') > (Select 'a') Begin Select 'T' "
                                              "End Else Begin Select 'F' End"));
        CompStr("O'N'", "a");
        QVERIFY(m_db->sent.value(3).startsWith("IF (Select 'O''N''') > (Select 'a') Begin"));
        m_db->answer = [](const QString&) -> ResultSets { throw DbError(0x80004005, "gone"); };
        QVERIFY_THROWS_EXCEPTION(ProgramExit::ProgramEnded, CompStr("a", "b"));
        QVERIFY(m_dialogs->shown.value(0).startsWith(
            "錯誤發生位置：CompStr-Error 與資料庫連線取資料時"));
    }

    // Find from the current row, texts compared as the server does; bookmarks; the next set.
    void findBookmarksAndBatches() {
        Recordset rs({table({"Aseq", "Aname"}, {{1, "甲"}, {3, "Abc"}, {5, "abd"}})});
        QVERIFY(rs.find("Aseq = 3"));
        const int mark = rs.bookmark();
        QVERIFY(rs.find("Aname = 'ABD'"));
        QCOMPARE(rs.field("Aseq").toInt(), 5);
        rs.setBookmark(mark);
        QVERIFY(rs.find("Aname LIKE 'ab*'"));
        QCOMPARE(rs.field("Aseq").toInt(), 3);
        rs.moveFirst();
        QVERIFY(rs.find("Aname = 'abc  '"));
        QCOMPARE(rs.field("Aseq").toInt(), 3);
        QVERIFY(!rs.find("Aseq > 5"));
        QVERIFY(rs.eof());
        rs.moveFirst();
        QVERIFY(!rs.find("nonsense"));

        Recordset batch({table({"A"}, {{1}}), table({"B"}, {{2}, {3}})});
        QVERIFY(batch.nextRecordset());
        QCOMPARE(batch.recordCount(), 2);
        QCOMPARE(batch.field(0).toInt(), 2);
        QVERIFY(!batch.nextRecordset());
        QVERIFY(batch.bof() && batch.eof());
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
        rows.append({5, QDate(2026, 12, 6), QString(), QStringLiteral("x")});
        const ResultRows::Row first = rows[0];
        QCOMPARE(first.toList(), (QVariantList{qlonglong(-7), 2.5, QStringLiteral("稅"),
                                               QString(""), QVariant(), QByteArray("a\0b", 3)}));
        QCOMPARE(first[0].typeId(), QMetaType::LongLong);
        QVERIFY(!first[3].toString().isNull() && !first[4].isValid());
        QCOMPARE(rows[1][0].typeId(), QMetaType::Int);
        QCOMPARE(rows[1][1], QVariant(QDate(2026, 12, 6)));

        rows.append({QStringLiteral("c")});
        rows.removeAt(1);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].toList(), QVariantList{QStringLiteral("c")});
        rows.replace(0, {1, 2, 3, 4, 5, 6, 7, 8});
        QCOMPARE(first[2], QVariant(QStringLiteral("稅")));  // the view kept the old row
        QCOMPARE(rows[0].toList(), (QVariantList{1, 2, 3, 4, 5, 6, 7, 8}));
        QVERIFY(rows[5].isEmpty() && !rows[5].value(0).isValid() && rows.value(5).isEmpty());
    }

    // Edits become statements on the edited table that name the row by every value it had,
    // apostrophes doubled; a subquery does not hide the table, a join cannot be edited.
    void editsBecomeStatements() {
        m_db->answers["SELECT * FROM Asset_Temp WHERE Lcode = '0016'"] = {
            table({"Lcode", "aname", "atot1"}, {{"0016", "車", QVariant()}})};
        Recordset& rs = load("SELECT * FROM Asset_Temp WHERE Lcode = '0016'");
        rs.setField("aname", "O'Neil's 車");
        rs.update();
        QCOMPARE(m_db->sent.last(),
                 QString("UPDATE Asset_Temp SET aname = 'O''Neil''s 車' WHERE Lcode = '0016' AND "
                         "aname = '車'"));
        QCOMPARE(rs.field("aname").toString(), QString("O'Neil's 車"));
        rs.addNew();
        rs.setField("Lcode", "0016");
        rs.setField("atot1", 1500.5);
        rs.update();
        QCOMPARE(m_db->sent.last(),
                 QString("INSERT INTO Asset_Temp (Lcode, atot1) VALUES ('0016', 1500.5)"));
        QCOMPARE(rs.recordCount(), 2);
        rs.deleteCurrent();
        QCOMPARE(m_db->sent.last(),
                 QString("DELETE FROM Asset_Temp WHERE Lcode = '0016' AND atot1 = 1500.5"));
        QCOMPARE(rs.recordCount(), 1);
        // A number no server can hold is no value at all.
        rs.moveFirst();
        rs.setField("atot1", std::numeric_limits<double>::infinity());
        rs.update();
        QVERIFY(m_db->sent.last().startsWith("UPDATE Asset_Temp SET atot1 = NULL WHERE"));

        const QString lines =
            "Select *,Isnull((Select Dename From Depart25 Where Departno = "
            "Adeno),'') As Adena From Assetd_Temp Where Lcode = '0016'";
        m_db->answers[lines] = {table({"aseq", "Adena"}, {{1, "業務部"}})};
        m_db->answers["SELECT * FROM Assetd_Temp WHERE 1 = 0"] = {table({"lcode", "aseq"}, {})};
        load(lines).deleteCurrent();
        QCOMPARE(m_db->sent.last(), QString("DELETE FROM Assetd_Temp WHERE aseq = 1"));

        // Refused before anything is sent.
        m_db->answers["SELECT * FROM A, B"] = {table({"x"}, {{1}})};
        Recordset& join = load("SELECT * FROM A, B");
        const qsizetype sent = m_db->sent.size();
        join.setField("x", 2);
        QVERIFY_THROWS_EXCEPTION(DbError, join.update());
        QCOMPARE(m_db->sent.size(), sent);
    }

    // The trace file gets a line per statement and per message, with its place and answer.
    void traceRecordsStatementsAndMessages() {
        QTemporaryDir dir;
        const QString file = dir.filePath("trace.jsonl");
        qputenv("ZQFU_TRACE", file.toUtf8());
        Trace::reload();
        m_db->answers["SELECT 1"] = {table({"A"}, {{1}})};
        load("SELECT 1");
        Dialogs::ask("是否確定?", Dialogs::Buttons::YesNo, Dialogs::Answer::No);
        qputenv("ZQFU_TRACE", "");
        Trace::reload();

        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().trimmed().split('\n');
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
