// Texts at and beyond the front end's limits: rows, or the server's refusal, never a crash.
#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include "DbError.h"
#include "ProcedureRegistry.h"
#include "SqlErrors.h"
#include "SqliteConnection.h"
#include "TsqlCorpus.h"

namespace {
const QString NestedTooDeeply =
    QStringLiteral("SQL 陳述式的某個部分巢狀太深。請重寫查詢或將它分解成較小的查詢。");
const QString TooComplex = QStringLiteral(
    "查詢處理器已用盡內部資源，因此無法產生查詢計劃。這是很少發生的事件，只有極度複雜的查詢或參考"
    "極大量資料表或資料分割的查詢才會發生。請簡化查詢。如果您認為收到此訊息是錯誤的，請連絡客戶支援"
    "服務以取得詳細資訊。");
const QString BigintOverflow =
    QStringLiteral("將 expression 轉換為資料類型 bigint 時發生算術溢位錯誤。");
const QString IntOverflow = QStringLiteral("將 expression 轉換為資料類型 int 時發生算術溢位錯誤。");
const QString FloatOverflow =
    QStringLiteral("將 expression 轉換為資料類型 float 時發生算術溢位錯誤。");
const QString StackLimit = QStringLiteral(
    "內部錯誤: 已達到伺服器堆疊限制。請在查詢中尋找可能過深的巢狀結構，並嘗試簡化查詢。");

// "head" + part, part, ... (count times, joined by glue) + "tail"; %1 in the part is its number.
QString repeated(const char* head, const char* part, int count, const char* tail,
                 const char* glue = "") {
    const QString written = QString::fromUtf8(part);
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(written.contains(QLatin1String("%1")) ? written.arg(i) : written);
    return QString::fromUtf8(head) + parts.join(QString::fromUtf8(glue)) + QString::fromUtf8(tail);
}

// Whether the description is in the server's words: Chinese, with none of SQLite's English.
bool serverWords(const QString& description) {
    static const QRegularExpression english(QStringLiteral("[A-Za-z]{3,} [a-z]{3,}"));
    const bool chinese = std::any_of(description.begin(), description.end(),
                                     [](QChar c) { return c.unicode() >= 0x4E00; });
    return chinese && !english.match(description).hasMatch();
}

// A row refused with the number and description (without one: any in the server's words).
void refused(const char* name, const QString& text, const QString& description,
             const char* number = "0x80040E14") {
    QTest::newRow(name) << text << number + (u' ' + (description.isEmpty() ? "*" : description));
}

// A row whose text runs and gives the rows.
void answered(const char* name, const QString& text, const char* rows) {
    QTest::newRow(name) << text << QString::fromUtf8(rows);
}

}  // namespace

class TsqlLimitsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

private slots:
    void init() {
        m_fixture = std::make_unique<TsqlFixture>(
            QStringLiteral("CREATE TABLE T (CODE TEXT COLLATE TSQL, N INTEGER);"
                           "INSERT INTO T VALUES ('a', 1), ('b', 2), ('c', 3);"
                           "CREATE TABLE D (C DECIMAL(14,2), M MONEY);"
                           "INSERT INTO D VALUES (1500000000, 7), (1500000000, 8);"));
    }
    void cleanup() { m_fixture.reset(); }

    // Texts at the limits: their rows, or the server's refusal; the connection goes on as before.
    void texts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Nesting too deep for the recursive passes is refused first, also later in a batch;
        // chains of + or * are no nesting, up to where the server's stack gives out.
        refused("3,400 terms of + in a later statement of the batch",
                repeated("DELETE FROM T; SELECT 1", "+1", 3400, ""), StackLimit);
        refused("3,400 terms of *", repeated("DELETE FROM T; SELECT 1", "*1", 3400, ""),
                StackLimit);
        answered("3,000 terms of +, -, * and of joined texts",
                 repeated("SELECT N", "+1", 2999, "") + repeated(", 10", "-1", 2999, "") +
                     repeated(", N", "*1", 2999, "") +
                     repeated(", LEN(CODE", "+CODE", 2999, ") FROM T WHERE N = 1"),
                 "3000|-2989|1|3000");
        answered("3,000 terms of / and % from the left",
                 repeated("SELECT 1", "/1", 2999, "") + repeated(", 100000", "%7/1", 1500, ""),
                 "1|5");
        refused("3,400 terms of /", repeated("SELECT 1", "/1", 3400, ""), StackLimit);
        refused("int overflow late in a long chain",
                repeated("SELECT 2147483647", "+1-1", 100, ""), IntOverflow);
        refused("100,000 parentheses",
                repeated("SELECT ", "(", 100000, "1") + repeated("", ")", 100000, ""),
                NestedTooDeeply);
        refused("10,000 subqueries",
                repeated("SELECT ", "(SELECT ", 10000, "1") + repeated("", ")", 10000, ""),
                NestedTooDeeply);
        answered("80 terms of +", repeated("SELECT 1", "+1", 79, ""), "80");
        // Bound values are limited (also beside a LIKE prefix's); text lengths are 1 to 8000.
        refused("an IN list of 32,767 numbers",
                repeated("SELECT N FROM T WHERE N IN (", "%1", 32767, ")", ","), TooComplex);
        refused("70 tables", repeated("SELECT COUNT(*) FROM ", "T AS T%1", 70, "", ","),
                TooComplex);
        answered("an IN list of 32,766 numbers",
                 repeated("SELECT CODE FROM T WHERE N IN (", "%1", 32766, ") ORDER BY CODE", ","),
                 "a;b;c");
        answered("20,000 values and a LIKE prefix",
                 repeated("SELECT COUNT(*) FROM T WHERE CODE IN (", "'%1'", 20000,
                          ") OR CODE LIKE 'c%'", ","),
                 "1");
        const QString tooLarge =
            "指定給 '%1' 類型的大小 (%2) 超過任何資料類型所允許的最大值 (%3)。";
        refused("VarChar of 8001", "SELECT CAST(N AS VarChar(8001)) FROM T",
                tooLarge.arg("varchar").arg(8001).arg(8000));
        refused("CHAR beyond int", "SELECT CONVERT(char(99999999999),'x')",
                tooLarge.arg("char").arg(99999999999LL).arg(8000));
        refused("VARCHAR of 0 on the third line",
                "SELECT N,\n CODE\n , CAST(CODE AS VARCHAR(0)) FROM T",
                "第 3 行: 長度或有效位數規格 0 無效。");
        answered("the largest CHAR and VARCHAR",
                 "SELECT LEN(CONVERT(CHAR(8000),'x') + '|'), LEN(CONVERT(VARCHAR(8000),'x'))",
                 "8001|1");
        // Literals the server cannot represent, also as a procedure's arguments; TOP counts.
        const QString floatRange = "浮點數值 '%1' 超出了電腦表示範圍 (8 個位元組)。";
        const QString digits39 = "123456789012345678901234567890123456789";
        refused("1e999", "SELECT 1e999", floatRange.arg("1e999"));
        refused("39 digits", "SELECT " + digits39,
                "數字 '" + digits39 + "' 超出了數值表示範圍 (最大有效位數 38)。");
        refused("in a procedure's argument", "SF_ZQ2K_SALE '0016', 'x', 1e999",
                floatRange.arg("1e999"));
        answered("1e308", "SELECT 1e308", "1e+308");
        refused("1e308 * 10", "SELECT 1e308 * 10", FloatOverflow);
        refused("converted beyond a float", "SELECT CONVERT(VARCHAR, N * 1e308 * 10) FROM T",
                FloatOverflow);
        refused("beyond a float in WHERE", "SELECT N FROM T WHERE 1e308 * 10 > 0", FloatOverflow);
        refused("divided beyond a float in WHERE", "SELECT N FROM T WHERE N / 1e-308 * 1e10 > 0",
                FloatOverflow);
        // Whole numbers stay within int, or within bigint where one is converted to it;
        // SQLite would go on in a float.
        refused("int + int", "SELECT 2147483647 + 1", IntOverflow);
        refused("int column * int in WHERE", "SELECT N FROM T WHERE N * 2147483647 > 0",
                IntOverflow);
        refused("int - int", "SELECT CODE FROM T WHERE -2147483647 - N < 0", IntOverflow);
        refused("the opposite of the least int", "SELECT -CONVERT(INT, '-2147483648')",
                IntOverflow);
        refused("the least int divided by -1", "SELECT CONVERT(INT, '-2147483648') / -1",
                IntOverflow);
        refused("bigint + int", "SELECT CONVERT(BIGINT, 9223372036854775807) + N FROM T",
                BigintOverflow);
        refused("bigint * bigint",
                "SELECT CONVERT(BIGINT, 4294967296) * CONVERT(BIGINT, 4294967296)",
                BigintOverflow);
        // A decimal's arithmetic (a decimal or money column, a whole literal beyond int, a
        // CONVERT to one) is held to neither range, and its quotient keeps its fraction; the
        // same text with an int's literal instead is an int's again.
        answered("decimals beyond int",
                 "SELECT SUM(C), MAX(C + C), MAX(2147483647 + C), MIN(C / 7), MIN(M / 2), "
                 "MAX(-(1 - 2147483649)), MAX(CONVERT(BIGINT, 4294967296) * 4294967296), "
                 "MAX(CONVERT(DECIMAL(10,0), 2147483647) + 1) FROM D",
                 "3000000000|3000000000|3647483647|214285714.285714|3.5|2147483648|"
                 "1.84467440737096e+19|2147483648");
        answered("bigint beyond int, a decimal, a float",
                 "SELECT CONVERT(BIGINT, 2147483647) + N, -CONVERT(BIGINT, -2147483648), "
                 "2147483648 + N, 2147483647.0 + N, 2147483647 * 2e0 FROM T WHERE N = 1",
                 "2147483648|2147483648|2147483649|2147483648|4294967294");
        answered("int within int, its remainders and quotients",
                 "SELECT 2147483646 + N, -2147483647 - N, N * -2147483647, 7 % -3, -7 / 2, "
                 "7.5 % 2 FROM T WHERE N = 1",
                 "2147483647|-2147483648|-2147483647|1|-3|1.5");
        // SUM: an int's total within int (only the total: parts beyond it that come back are
        // taken), a bigint's within bigint, a float's within eight bytes; no row, no total.
        refused("SUM beyond int", "SELECT SUM(N * 700000000) FROM T WHERE N > 1", IntOverflow);
        refused("SUM beyond bigint",
                "SELECT SUM(CONVERT(BIGINT, 9223372036854775807) - 1 + N) FROM T", BigintOverflow);
        refused("SUM beyond a float", "SELECT SUM(N * 1e308) FROM T", FloatOverflow);
        answered("SUM within its type",
                 "SELECT SUM(N * 400000000), SUM(CONVERT(BIGINT, N) * 1000000000), "
                 "SUM(N * 1000000000.0), SUM(DISTINCT N % 2), SUM(N) FROM T WHERE N > 1; SELECT "
                 "SUM(N) FROM T WHERE N > 5; SELECT SUM(CASE WHEN N = 2 THEN -2000000000 ELSE "
                 "2000000000 END) FROM T",
                 "2000000000|5000000000|5000000000|1|5 // NULL // 2000000000");
        // A negative decimal keeps its scale as a positive one does.
        answered("-12.50 as a text and as a value",
                 "SELECT CONVERT(VARCHAR, -12.50), CONVERT(VARCHAR, 12.50), -12.50, "
                 "CAST(-0.00 AS VARCHAR(10)), CONVERT(VARCHAR, -N) FROM T WHERE N = 1",
                 "-12.50|12.50|-12.5|0.00|-1");
        answered("38 digits given back",
                 "SELECT 12345678901234567890123456789012345678, "
                 "0.1234567890123456789012345678901234567, 2.5",
                 "12345678901234567890123456789012345678|0.1234567890123456789012345678901234567|"
                 "2.5");
        const QString precision = "資料行或參數 #0: 指定的資料行有效位數 %1 大於最大有效位數 38。";
        refused("DECIMAL(39,2)", "SELECT CONVERT(DECIMAL(39,2), N) FROM T", precision.arg(39));
        refused("NUMERIC(5,6)", "SELECT CAST(N AS NUMERIC(5,6)) FROM T",
                "資料行或參數 #0: 指定的資料行小數位數 6 大於指定的有效位數 5。");
        answered("DECIMAL(38,38) and NUMERIC(1)",
                 "SELECT COUNT(CONVERT(DECIMAL(38,38), 0)), CAST(N AS NUMERIC(1)) FROM T WHERE N = 1",
                 "1|1");
        // LIKE takes time as its texts are long, whatever the pattern.
        answered("a pattern of 600,000 [",
                 repeated("SELECT COUNT(*) FROM T WHERE CODE LIKE '", "[", 600000, "'"),
                 "0");
        answered("a long part between % against a long value",
                 repeated("SELECT COUNT(*) FROM T WHERE '", "a", 60000, "' LIKE '%") +
                     repeated("", "a", 30000, "b%'") + " OR CODE LIKE '[^c]%'",
                 "2");
        answered("38 digits",
                 "SELECT COUNT(*) FROM T WHERE N < 12345678901234567890123456789012345678", "3");
        refused("TOP beyond bigint", "SELECT TOP 9223372036854775808 N FROM T", BigintOverflow);
        refused("TOP negative", "SELECT TOP (-1) N FROM T",
                "為 TOP 或 FETCH 子句資料列計數參數提供的資料列數目必須是整數。");
        answered("TOP the largest bigint", "SELECT TOP 9223372036854775807 N FROM T ORDER BY N",
                 "1;2;3");
        answered("TOP zero", "SELECT TOP (0) N FROM T", "");
        // Failures that only SQLite notices, in the server's words.
        refused("an aggregate in WHERE", "SELECT N FROM T WHERE SUM(N) > 1", QString());
        refused("a sum beyond bigint",
                "SELECT SUM(N + CONVERT(BIGINT, 9223372036854775800)) FROM T", BigintOverflow);
        // Statements separated by ';' are read together, but an IF's branch ends at its ';'.
        answered("a branch of IF, then a statement after ';'",
                 "IF 1 = 0 SELECT N FROM T WHERE N = 1; SELECT N FROM T WHERE N = 2", "2");
        refused("a syntax error after ';' before anything runs", "DELETE FROM T; SELECT FROM T",
                "接近 'FROM' 之處的語法不正確。");
        refused("a CHECK constraint",
                "CREATE TABLE C (N INTEGER CHECK (N > 0)); INSERT INTO C VALUES (0)", QString(),
                "0x80040E2F");
    }
    // A text like one run before but for a whole literal beyond int in the place of an int's
    // is a decimal's: translated apart, not read as the int's.
    void literalsBeyondIntTranslatedApart() {
        const QString text = "SELECT -(N - %1), %2 / (N + 1) FROM T WHERE N = 1";
        QCOMPARE(m_fixture->outcome(text.arg("2147483647", "2147483647")),
                 QString("2147483646|1073741823"));
        QCOMPARE(m_fixture->outcome(text.arg("2147483649", "4294967297")),
                 QString("2147483648|2147483648.5"));
        QCOMPARE(m_fixture->outcome(text.arg("2147483646", "2147483647")),
                 QString("2147483645|1073741823"));
    }

    void texts() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QElapsedTimer timer;
        timer.start();
        const QString got = m_fixture->outcome(text);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        if (expected.endsWith(u'*'))
            QVERIFY2(got.startsWith(expected.chopped(1)) && serverWords(got), qPrintable(got));
        else
            QCOMPARE(got.left(300), expected);
        QCOMPARE(m_fixture->run(QStringLiteral("SELECT COUNT(*) FROM T")), QStringLiteral("3"));
    }

    // A long batch runs statement by statement: what it holds at once does not grow with it,
    // whether its statements are separated by ';' or by nothing.
    void longBatch_data() {
        QTest::addColumn<QString>("glue");
        QTest::newRow("new lines") << "\n";
        QTest::newRow("semicolons") << "; ";
    }
    void longBatch() {
        QFETCH(QString, glue);
        struct Sink : ResultSink {
            qsizetype rows = 0;
            qint64 resident = 0;  // the most, in pages, looked at every 10,000 rows
            void columns(const QStringList&) override {}
            void row(const QVariantList&) override {
                if (++rows % 10000 != 0) return;
                QFile statm(QStringLiteral("/proc/self/statm"));
                if (statm.open(QIODevice::ReadOnly))
                    resident = qMax(resident, statm.readAll().split(' ').value(1).toLongLong());
            }
        } sink;
        const QString batch =
            repeated("", "SELECT N FROM T WHERE N = 1", 100000, "", glue.toUtf8().constData());
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 before = statm.readAll().split(' ').value(1).toLongLong();
        m_fixture->db().stream(batch, sink);
        QCOMPARE(sink.rows, 100000);
        const qint64 grown = (sink.resident - before) * 4096 / (1024 * 1024);
        // Some 50 to 60 MB for the tokens of 100,000 statements, kept while they run; the
        // address sanitizer's own bookkeeping about triples it.
#ifdef __SANITIZE_ADDRESS__
        constexpr qint64 Bound = 240;
#else
        constexpr qint64 Bound = 80;
#endif
        QVERIFY2(grown < Bound, qPrintable(QString::number(grown) + " MB"));
        QCOMPARE(m_fixture->outcome(repeated("", "SELECT N FROM T\n", 99, "SELECT FROM T")),
                 "0x80040E14 接近 'FROM' 之處的語法不正確。");
    }

    // A statement that runs past the time limit is stopped with the time-out; the next runs.
    void timeLimit() {
        QCOMPARE(SqliteConnection::DefaultStatementTimeLimit, 30000);
        m_fixture->db().connection().setStatementTimeLimit(300);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(m_fixture->outcome(repeated("SELECT COUNT(*) FROM ", "T AS T%1", 25, "", ",")),
                 "0x80040E31 查詢逾時已過期。");
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(m_fixture->run(QStringLiteral("SELECT COUNT(*) FROM T AS A, T AS B")), "9");
    }

    // A parameter declared INT takes what the server converts to int; an undeclared one, any.
    void integerParameters_data() {
        TsqlCorpus::addPairs({
            {"2147483647, 3000000000", "2147483647|3000000000"},
            {"-2147483649", "0x80040E14 將資料類型 numeric 轉換成 int 時發生錯誤。"},
            {"2.7", "2|"},
            {"' 12 '", "12|"},
            {"''", "0|"},
            {"NULL, 'x'", "NULL|x"},
            {"'1.5'", "0x80040E14 將資料類型 varchar 轉換成 int 時發生錯誤。"},
            {"DEFAULT", "NULL|"},
        });
    }
    void integerParameters() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        auto registry = std::make_shared<ProcedureRegistry>();
        registry->add("SP_MODE", {"@MODE INT", "@TEXT"}, 1,
                      [](SqliteConnection&, const ProcedureCall& call) {
                          const QVariant mode = call.isNull(0) ? QVariant() : call.integer(0);
                          return ResultSets{{{"MODE", "TEXT"}, {{mode, call.text(1)}}}};
                      });
        QCOMPARE(TsqlFixture(QString(), registry).outcome("EXEC SP_MODE " + text), expected);
    }

    // Whatever SQLite says, the caller reads the server's words.
    void everySqliteFailureTranslated() {
        for (int code = SQLITE_ERROR; code <= SQLITE_WARNING; ++code) {
            if (code == SQLITE_ROW) continue;
            const DbError e =
                SqlErrors::fromSqlite(code, "something went wrong", "SELECT 1", "MAIN.zqdb");
            QVERIFY2(serverWords(e.description()),
                     qPrintable(QString::number(code) + u' ' + e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TsqlLimitsTest)
#include "tst_tsqllimits.moc"
