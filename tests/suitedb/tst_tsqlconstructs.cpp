// The T-SQL front end construct by construct: statement texts and the rows the suite's
// server gives for them, on small tables of our own; result column names; refusals.
#include <QtTest>

#include "DbError.h"
#include "TsqlFixture.h"

namespace {
const char* const Setup =
    "CREATE TABLE T (CODE TEXT COLLATE TSQL, NAME TEXT COLLATE TSQL, N INTEGER, R REAL,"
    "  D TEXT COLLATE TSQL);"
    "INSERT INTO T VALUES ('a01', '王美華', 1, 1.5, 'x'), ('A02', '李志明', 2, 2.5, NULL),"
    "  ('b01 ', '陳建宏', 3, NULL, 'y'), ('a_1', '林', 4, 0.25, ''), ('[x]', '一', 5, 10, 'z');"
    "CREATE INDEX T_CODE ON T (CODE);"
    "CREATE TABLE U (CODE TEXT COLLATE TSQL, QTY INTEGER);"
    "INSERT INTO U VALUES ('a01', 10), ('A01', 5), ('b01', 7);";

// Rows of a data-driven test of a text and its result sets as ShowResults writes them; the text
// names the row.
void addRows(std::initializer_list<std::pair<const char*, const char*>> rows) {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    for (const auto& [text, expected] : rows)
        QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(expected);
}
}  // namespace

class TsqlConstructsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

    void check() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        try {
            QCOMPARE(m_fixture->run(text), expected);
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.hexNumber() + u' ' + e.description()));
        }
    }

    // SQLite's plan of the statement as the front end translates it.
    QString plan(const QString& text) {
        const auto prepared = m_fixture->db().translator().prepare(text)[0];
        const ResultSet set = m_fixture->db().connection().query(
            QStringLiteral("EXPLAIN QUERY PLAN ") + prepared.sql, prepared.values);
        QStringList details;
        for (const QVariantList& row : set.rows) details.append(row.last().toString());
        return details.join(u';');
    }

private slots:
    void init() { m_fixture = std::make_unique<TsqlFixture>(QString::fromUtf8(Setup)); }
    void cleanup() { m_fixture.reset(); }

    // Operators, conversions and functions, with the server's types, lengths and NULLs.
    void expressions_data() {
        addRows({
            {"SELECT 'a' + 'b', 1 + 2, CODE + NAME, N + R FROM T WHERE N = 1",
             "ab|3|a01王美華|2.5"},
            // CHAR(n) pads and cuts; a number too long for it is a '*'; a Chinese character
            // takes two of its bytes.
            {"SELECT '[' + CONVERT(CHAR(5),'ab') + ']', CONVERT(CHAR(2),'abcd')", "[ab   ]|ab"},
            {"SELECT CONVERT(CHAR(5),12) + '|', CONVERT(CHAR(3),12345) + '|', CONVERT(CHAR(3),-12) "
             "+ '|', CONVERT(CHAR(2),-12) + '|', CONVERT(CHAR(3),'a\t') + '|'",
             "12   ||*  ||-12||* ||a\t |"},
            {"SELECT CONVERT(CHAR(5),N'王美華') + '|', CONVERT(CHAR(5),CODE) + 'x' FROM T WHERE N "
             "= 3",
             "王美 ||b01  x"},
            {"SELECT CONVERT(VARCHAR,1500), CONVERT(VARCHAR,R), CONVERT(VARCHAR,(R * 4) / 2), "
             "CAST(N AS VARCHAR(10)) + 'x', CAST('12' AS INT) + 1, CONVERT(INT,2.7) FROM T WHERE N "
             "= 1",
             "1500|1.5|3|1x|13|2"},
            // Whole numbers divide as whole numbers; a text meeting a number becomes a number.
            {"SELECT 7 / 2, 7 % 2, 7.0 / 2, -N, '5' + 1, ' 7 ' * 2, '' + 3 FROM T WHERE N = ' 1 '",
             "3|1|3.5|-1|6|14|3"},
            // A decimal becomes text with its scale, rounded half away from zero; money with
            // two decimals; a float in six digits with the server's exponent.
            {"SELECT CONVERT(VARCHAR,CONVERT(DECIMAL(10,2),R)), CAST(CAST(12.345 AS "
             "NUMERIC(9,2)) AS VARCHAR), CONVERT(VARCHAR,CONVERT(MONEY,N)), CONVERT(DECIMAL(9,1),"
             "2.25) FROM T WHERE N = 1",
             "1.50|12.35|1.00|2.3"},
            {"SELECT CONVERT(VARCHAR,CONVERT(FLOAT,1234567.5)), CONVERT(VARCHAR,CAST(0.00001 AS "
             "FLOAT)), CONVERT(VARCHAR,CONVERT(FLOAT,R)) FROM T WHERE N = 4",
             "1.23457e+006|1e-005|0.25"},
            // ISNULL takes the type and length of its first argument.
            {"SELECT ISNULL(CONVERT(VARCHAR(3),D),'abcdef'), ISNULL(CONVERT(CHAR(4),D),'ab') + "
             "']', ISNULL(R,0) FROM T WHERE N = 3 OR N = 2 ORDER BY N",
             "abc|ab  ]|2.5;y|y   ]|0"},
            {"SELECT LEFT('abcdef',3), RIGHT('abcdef',2), RIGHT('000' + '12',13), RIGHT('ab',0), "
             "SUBSTRING('abcdef',2,3), SUBSTRING(CODE,1,1), LEN('ab  '), LEN(''), LEN(12345), "
             "LEN(NULL) FROM T WHERE N = 5",
             "abc|ef|00012||bcd|[|2|0|5|NULL"},
            {"SELECT '[' + LTRIM('  a ') + ']', '[' + RTRIM(' a  ') + ']', UPPER('ab'), "
             "ROUND(2.456,2), COALESCE(D,NAME) FROM T WHERE N = 2",
             "[a ]|[ a]|AB|2.46|李志明"},
        });
    }
    void expressions() { check(); }

    // Comparisons, orders, groups, DISTINCT, MIN and MAX, LIKE by the server's collation: case
    // and trailing blanks do not count, punctuation before digits before letters, Chinese by
    // strokes.
    void collation_data() {
        addRows({
            {"SELECT CODE FROM T WHERE CODE = 'A01'", "a01"},
            {"SELECT CODE FROM T WHERE CODE = 'b01'", "b01 "},
            {"SELECT CASE WHEN 'b' = 'B  ' THEN 1 ELSE 0 END, CASE WHEN 'a' < 'B' THEN 1 ELSE 0 "
             "END",
             "1|1"},
            {"SELECT CODE FROM T ORDER BY CODE", "[x];a_1;a01;A02;b01 "},
            {"SELECT NAME FROM T ORDER BY NAME", "一;王美華;李志明;林;陳建宏"},
            {"SELECT NAME FROM T ORDER BY NAME + '' DESC", "陳建宏;林;李志明;王美華;一"},
            {"SELECT COUNT(*), SUM(QTY) FROM U GROUP BY CODE ORDER BY 2", "1|7;2|15"},
            {"SELECT COUNT(*) FROM (SELECT DISTINCT CODE + '' AS C FROM U) AS X", "2"},
            {"SELECT MIN(NAME), MAX(NAME), MAX(NAME + ''), MIN(CODE) FROM T",
             "一|陳建宏|陳建宏|[x]"},
            {"SELECT CODE FROM T WHERE CODE BETWEEN 'A' AND 'AZ' ORDER BY CODE", "a_1;a01;A02"},
            {"SELECT CODE FROM T WHERE CODE IN ('A01','B01') ORDER BY CODE", "a01;b01 "},
            {"SELECT CASE CODE WHEN 'A01' THEN 'x' ELSE 'y' END FROM T WHERE N = 1", "x"},
            {"SELECT CODE FROM T WHERE CODE LIKE 'A%' ORDER BY CODE", "a_1;a01;A02"},
            {"SELECT CODE FROM T WHERE CODE LIKE 'a[_]%'", "a_1"},
            {"SELECT CODE FROM T WHERE CODE LIKE '[a-b]0%' ORDER BY CODE", "a01;A02;b01 "},
            {"SELECT CODE FROM T WHERE CODE LIKE 'a_1' ORDER BY CODE", "a_1;a01"},
            {"SELECT CODE FROM T WHERE CODE LIKE 'b01'", "b01 "},
            {"SELECT CODE FROM T WHERE CODE LIKE 'b01 %' OR CODE LIKE 'a01 '", "b01 "},
        });
    }
    void collation() { check(); }

    // Statement shapes: TOP, subqueries, joins, hints, UNION; batches and changes.
    void statements_data() {
        addRows({
            {"SELECT TOP 2 CODE FROM T ORDER BY N DESC", "[x];a_1"},
            {"SELECT CODE,(SELECT SUM(QTY) FROM U WHERE U.CODE = T.CODE) FROM T WHERE N <= 2 "
             "ORDER BY N",
             "a01|15;A02|NULL"},
            {"SELECT * FROM (SELECT TOP 2 CODE,N FROM T ORDER BY N DESC) AS X ORDER BY N",
             "a_1|4;[x]|5"},
            {"SELECT T.N,U.QTY FROM T,U WHERE T.CODE = U.CODE ORDER BY U.QTY", "1|5;3|7;1|10"},
            {"SELECT CODE FROM T WITH (NOLOCK, INDEX(T_CODE)) WHERE N = 1", "a01"},
            // A subquery as a value: one row gives its value, none NULL, of either type.
            {"SELECT (SELECT NAME FROM T WHERE N = 2), (SELECT R FROM T WHERE N = 9), "
             "(SELECT QTY FROM U WHERE CODE = 'b01')",
             "李志明|NULL|7"},
            {"SELECT (SELECT TOP 1 SUM(QTY) FROM U GROUP BY CODE ORDER BY CODE DESC)", "7"},
            // UNION tells texts apart in the server's collation; UNION ALL keeps every row; the
            // ORDER BY orders the whole; TOP belongs to its own SELECT.
            {"SELECT COUNT(*) FROM (SELECT CODE FROM T WHERE N < 3 UNION SELECT CODE FROM U) "
             "AS X",
             "3"},
            {"SELECT CODE FROM T WHERE N = 2 UNION SELECT CODE FROM U WHERE QTY > 6 ORDER BY "
             "CODE DESC",
             "b01;A02;a01"},
            {"SELECT TOP 1 CODE AS C FROM T WHERE N = 5 UNION ALL SELECT CODE FROM U "
             "WHERE QTY > 6 ORDER BY C",
             "[x];a01;b01"},
            {"SELECT CODE FROM T WHERE N IN (SELECT 1 UNION SELECT QTY - 3 FROM U) ORDER BY N",
             "a01;A02;a_1"},
            // Batches and changes.
            {"IF EXISTS (SELECT * FROM T WHERE N = 9) BEGIN SELECT 'y' END ELSE BEGIN SELECT 'n' "
             "SELECT 'm' END",
             "n // m"},
            {"INSERT INTO U VALUES ('c', 1) UPDATE U SET QTY = QTY + 1 WHERE CODE = 'C' SELECT QTY "
             "FROM U WHERE CODE = 'c' DELETE FROM U WHERE CODE = 'C  ' SELECT COUNT(*) FROM U",
             "2 // 3"},
            {"INSERT INTO U (QTY, CODE) VALUES (1, 'x'), (2, 'y'); SELECT SUM(QTY) FROM U WHERE "
             "CODE >= 'X'",
             "3"},
            {"UPDATE T SET NAME = NAME + '!', R = N * 2 WHERE CODE LIKE 'a%' AND N > 1; SELECT "
             "NAME, R FROM T WHERE N > 1 AND N < 5 ORDER BY N",
             "李志明!|4;陳建宏|NULL;林!|8"},
            {"SELECT COUNT(*) FROM MAIN..U; SELECT COUNT(*) FROM ABSENT..U WHERE QTY > 0; SELECT "
             "COUNT(*) FROM MAIN.dbo.U, dbo.T",
             "3 // 0 // 15"},
        });
    }
    void statements() { check(); }

    // Names as the server gives them: the alias, the column as written, nothing for the rest.
    void columnNames() {
        const ResultSets sets = m_fixture->db().execute(QStringLiteral(
            "SELECT code, T.NAME, N AS 'Num', X = N + 1, 'y' = 2, N + 1, 'lit', COUNT(*) AS "
            "財產編號 "
            "FROM T GROUP BY code, T.NAME, N; SELECT * FROM U; SELECT U.*, 1 FROM U"));
        QCOMPARE(sets[0].columns,
                 QStringList({"code", "NAME", "Num", "X", "y", "", "", "財產編號"}));
        QCOMPARE(sets[1].columns, QStringList({"CODE", "QTY"}));
        QCOMPARE(sets[2].columns, QStringList({"CODE", "QTY", ""}));
    }

    // Outside the subset, or naming what is not there: the server's error numbers and texts
    // (any text where none is given).
    void refusals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("description");
        const quint32 syntax = 0x80040E14, object = 0x80040E37;
        const std::tuple<QString, quint32, QString> rows[] = {
            {"SELECT * FROM NOPE", object, "無效的物件名稱 'NOPE'。"},
            {"SELECT NOPE FROM T", syntax, "無效的資料行名稱 'NOPE'。"},
            {"SELECT CODE FROM T, U", syntax, "模稜兩可的資料行名稱 'CODE'。"},
            {"SELECT x.CODE FROM T", syntax, "無法繫結多重部分識別碼 \"x.CODE\"。"},
            {"SELECT NOSUCH(1)", syntax, "'NOSUCH' 不是可辨認的內建函數名稱。"},
            {"SELECT 'a' || 'b'", syntax, "接近 '||' 之處的語法不正確。"},
            {"SELECT 1 UNION SELECT 1, 2", syntax,
             "使用 UNION、INTERSECT 或 EXCEPT "
             "運算子合併的所有查詢，目標清單中的運算式數目必須相同。"},
            {"SELECT CODE FROM T UNION SELECT CODE FROM U ORDER BY N", syntax,
             "如果陳述式包含 UNION、INTERSECT 或 EXCEPT 運算子，ORDER BY "
             "項目就必須出現在選取清單中。"},
            {"INSERT INTO U VALUES ('a')", syntax, ""},
            {"SELECT * FROM T WHERE", syntax, "接近 'WHERE' 之處的語法不正確。"},
            {"EXEC SP_NOTHING 1", syntax, "找不到預存程序 'SP_NOTHING'。"},
            {"SELECT LEFT('a')", syntax, "LEFT 函數的引數數目不正確。"},
            {"SELECT N / (N - 1) FROM T WHERE N = 1", syntax, "發現除以零的錯誤。"},
            {"SELECT CODE, (SELECT QTY FROM U WHERE U.CODE = T.CODE) FROM T", syntax,
             "子查詢傳回超過 1 個值。當子查詢跟隨在 =、!=、<、<=、>、>= 之後，或是子查詢當做運算式"
             "使用時，不允許這種情況。"},
            {"SELECT * FROM (SELECT CODE FROM T ORDER BY CODE) AS X", syntax,
             "除非同時指定了 TOP 或 FOR XML，否則 ORDER BY 子句在檢視、內嵌函數、衍生資料表、"
             "子查詢和通用資料表運算式中均是無效的。"},
            {"DELETE FROM U WHERE CODE", syntax,
             "在需要條件的內容中指定了非布林類型的運算式 (接近 'CODE')。"},
            // The whole batch is read before any of it runs.
            {"DELETE FROM U; SELECT FROM T", syntax, "接近 'FROM' 之處的語法不正確。"},
            {"IF 1 = 1 DELETE FROM U ELSE SELECT FROM T", syntax, "接近 'FROM' 之處的語法不正確。"},
            {"UPDATE U SET QTY = 'x' + QTY", syntax,
             "轉換 varchar 值 'x' 為資料類型 int 時，轉換失敗。"},
            {"INSERT INTO ABSENT..U VALUES ('a', 1)", object, ""},
        };
        for (const auto& [text, number, description] : rows)
            QTest::newRow(qPrintable(text)) << text << number << description;
    }
    void refusals() {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QFETCH(QString, description);
        try {
            m_fixture->db().execute(text);
            QFAIL("accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.hexNumber(), DbError(number, QString()).hexNumber());
            if (!description.isEmpty()) QCOMPARE(e.description(), description);
        }
        QCOMPARE(m_fixture->run(QStringLiteral("SELECT COUNT(*) FROM U")), QStringLiteral("3"));
    }

    // Texts that differ only in their values share one translation; literals are bound, never
    // pasted, so a text never turns into code.
    void literalsAreParameters() {
        auto& translator = m_fixture->db().translator();
        const auto first =
            translator.prepare(QStringLiteral("SELECT CODE FROM T WHERE CODE = 'a01'"));
        const auto second = translator.prepare(
            QStringLiteral("SELECT CODE FROM T WHERE CODE = 'x'' OR ''1''=''1'"));
        QCOMPARE(first[0].sql, second[0].sql);
        QVERIFY(!first[0].sql.contains(QLatin1String("a01")));
        QCOMPARE(second[0].values, QVariantList({QStringLiteral("x' OR '1'='1")}));
        QCOMPARE(
            m_fixture->run(QStringLiteral("SELECT CODE FROM T WHERE CODE = 'x'' OR ''1''=''1'")),
            QString());
    }

    // A prefix LIKE on an indexed column reads the index range; other patterns cannot.
    void likePrefixUsesTheIndex() {
        const QString prefix = plan(QStringLiteral("SELECT N FROM T WHERE CODE LIKE 'a[_]%'"));
        QVERIFY2(prefix.contains(QLatin1String("USING INDEX T_CODE (CODE>? AND CODE<?)")),
                 qPrintable(prefix));
        QVERIFY(!plan(QStringLiteral("SELECT N FROM T WHERE CODE LIKE '%a'"))
                     .contains(QLatin1String("T_CODE")));
    }

    // A 0 or '' compared stays in the SQL, so that a partial index whose condition names it
    // serves a statement prepared once; the rows are those of the same value bound (written 00 and
    // N''), and a shape with 0 is not taken for one with another number, nor the other way round.
    void zeroAndEmptyStayInTheStatement() {
        m_fixture->db().connection().script(QStringLiteral(
            "CREATE TABLE P (K TEXT COLLATE TSQL, Q REAL, C TEXT COLLATE TSQL);"
            "CREATE INDEX P_OPEN ON P (K, C) WHERE Q != 0 AND C != '';"
            "INSERT INTO P VALUES ('k', 0, 'a'), ('k', 0.0, ''), ('k', 1, ''), ('k', 1, '  '),"
            "  ('k', -1, 'b'), ('k', NULL, 'c'), ('k', 2, NULL), ('k', 0.5, '0'), ('j', 3, 'd'),"
            "  ('k', 1, 'B ')"));
        const QString open =
            QStringLiteral("SELECT C, Q FROM P WHERE K = 'k' AND Q != 0 AND C != ''");
        const QStringList texts = {
            open + QStringLiteral(" ORDER BY C"),
            QStringLiteral("SELECT C FROM P WHERE Q = 0 OR '' = C OR C > '' ORDER BY C, Q"),
            QStringLiteral("SELECT COUNT(*), SUM(Q) FROM P WHERE 0 <> Q AND K + C > ''"),
        };
        for (const QString& text : texts) {
            QString bound = text;
            bound.replace(QLatin1String("''"), QLatin1String("N''"))
                .replace(QRegularExpression(QStringLiteral("\\b0\\b")), QStringLiteral("00"));
            QCOMPARE(m_fixture->run(text), m_fixture->run(bound));
            QVERIFY2(m_fixture->db().translator().prepare(text)[0].values.size() <
                         m_fixture->db().translator().prepare(bound)[0].values.size(),
                     qPrintable(bound));
        }
        // (SQLite would read the index for a bound 0 too, but prepare the statement anew for
        // every value bound.)
        QVERIFY2(plan(open).contains(QLatin1String("P_OPEN")), qPrintable(plan(open)));
        SqliteConnection& connection = m_fixture->db().connection();
        m_fixture->run(open);
        const quint64 before = connection.preparations();
        m_fixture->run(QString(open).replace(QLatin1String("'k'"), QLatin1String("'j'")));
        QCOMPARE(connection.preparations(), before);
        const QString count = QStringLiteral("SELECT COUNT(*) FROM P WHERE Q != %1");
        QCOMPARE(m_fixture->run(count.arg(0)), QStringLiteral("7"));
        QCOMPARE(m_fixture->run(count.arg(1)), QStringLiteral("6"));
        QCOMPARE(m_fixture->run(count.arg(0)), QStringLiteral("7"));
    }

    // A subquery as a value that a unique column pins to one row reads as it stands; where
    // nothing proves one row (an index not unique, partial or in another collation, a
    // comparison across kinds, a column of its own table), two rows are still refused.
    void uniqueColumnSubqueries() {
        m_fixture->db().connection().script(QStringLiteral(
            "CREATE TABLE D (K TEXT COLLATE TSQL, B TEXT, P TEXT COLLATE TSQL, N INTEGER, V "
            "INTEGER);"
            "CREATE UNIQUE INDEX D_K ON D (K); CREATE UNIQUE INDEX D_B ON D (B);"
            "CREATE UNIQUE INDEX D_P ON D (P) WHERE V > 0; CREATE UNIQUE INDEX D_N ON D (N);"
            "INSERT INTO D VALUES ('a01', 'x', 'p', 1, 10), ('b01', 'X', 'P', 2, 0),"
            "  ('c01', 'y', 'q', 3, 20)"));
        const QString several = QStringLiteral("子查詢傳回超過 1 個值");
        const auto sql = [&](const QString& text) {
            return m_fixture->db().translator().prepare(text)[0].sql;
        };
        // The text, whether it reads as it stands, its rows (or, without, the refusal).
        const std::tuple<const char*, bool, const char*> cases[] = {
            // T's codes 'a01', 'A02', 'b01 ': the server's collation finds 'b01' for 'b01 '.
            {"SELECT N, (SELECT V FROM D WHERE D.K = T.CODE) FROM T WHERE N < 4 ORDER BY N", true,
             "1|10;2|NULL;3|0"},
            {"SELECT (SELECT V FROM D WHERE K = 'A01 ' AND V > 0)", true, "10"},
            // Not proved: each of these keeps the check.
            {"SELECT (SELECT V FROM D WHERE B = 'x')", false, nullptr},
            {"SELECT (SELECT V FROM D WHERE P = 'p')", false, nullptr},
            {"SELECT (SELECT V FROM D WHERE N = '2')", false, "0"},
            {"SELECT (SELECT V FROM D WHERE K = K)", false, nullptr},
            {"SELECT (SELECT V FROM D WHERE K = 'a01' OR V = 0)", false, nullptr},
        };
        for (const auto& [text, plain, rows] : cases) {
            QCOMPARE(!sql(text).contains(QLatin1String("tsql_single")), plain);
            if (rows) {
                QCOMPARE(m_fixture->run(text), QString::fromUtf8(rows));
                continue;
            }
            try {
                m_fixture->run(text);
                QFAIL(text);
            } catch (const DbError& e) {
                QVERIFY2(e.description().contains(several), qPrintable(e.description()));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TsqlConstructsTest)
#include "tst_tsqlconstructs.moc"
