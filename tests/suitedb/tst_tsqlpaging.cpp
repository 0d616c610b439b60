// The padded history key against a bound split into code and line: the text comparison's rows.
#include <QtTest>

#include "TsqlCollation.h"
#include "TsqlFixture.h"

namespace {
const QString Key = QStringLiteral("(CONVERT(CHAR(11),HCOD1) + CONVERT(CHAR(5),(10000 + HSEQ)))");

// Codes of different lengths, cases, blanks and punctuation, and one that is not ASCII.
// clang-format off
const QList<std::pair<QString, int>> Lines = {
    {"A", 1}, {"A", 2}, {"AB", 1}, {"ab", 3}, {"ABC", 0}, {"AB-1", 1}, {"a b", 2}, {"B", 10},
    {"Z9", 89999}, {"11402160001", 1}, {"1140216000", 2}, {"X_Y", 1}, {"[A]", 4},
    {QStringLiteral("中文"), 1}, {"", 5}};
// clang-format on

// As the server builds it: CHAR(11) counts bytes of the code page, two for a Chinese character.
QString keyOf(const QString& code, int seq) {
    int bytes = 0;
    for (const QChar c : code) bytes += c.unicode() < 0x80 ? 1 : 2;
    return code + QString(11 - bytes, u' ') + QString::number(10000 + seq);
}
}  // namespace

class TsqlPagingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;
    TsqlCollation m_collation;

    // Rows of item I1 whose key compares with the bound as op says, by the text comparison.
    QStringList expected(const QString& op, const QString& bound) const {
        QStringList rows;
        for (const auto& [code, seq] : Lines) {
            const int c = m_collation.compare(keyOf(code, seq), bound);
            if (op == QLatin1String(">=") ? c >= 0 : c <= 0)
                rows.append(code + u'|' + QString::number(seq));
        }
        rows.sort();
        return rows;
    }

private slots:
    void initTestCase() {
        QString setup = QStringLiteral(
            "CREATE TABLE H (HCOD1 TEXT COLLATE TSQL NOT NULL, HSEQ INTEGER NOT NULL, HICOD TEXT "
            "COLLATE TSQL NOT NULL); CREATE INDEX H_INX ON H (HICOD, HCOD1, HSEQ);");
        for (const auto& [code, seq] : Lines)
            setup += QStringLiteral("INSERT INTO H VALUES ('%1', %2, 'I1'), ('%1', %2, 'I2');")
                         .arg(code, QString::number(seq));
        m_fixture = std::make_unique<TsqlFixture>(setup);
    }
    void cleanupTestCase() { m_fixture.reset(); }

    void sameRowsEitherWay_data() {
        QTest::addColumn<QString>("bound");
        QTest::addColumn<bool>("splits");
        for (const auto& [code, seq] : Lines)
            QTest::newRow(qPrintable(keyOf(code, seq)))
                << keyOf(code, seq) << (code != QStringLiteral("中文"));
        QTest::newRow("missing line") << keyOf("AB", 2) << true;
        QTest::newRow("other case") << keyOf("abc", 0) << true;
        QTest::newRow("apostrophe") << keyOf("A'B", 1) << true;
        QTest::newRow("four digits") << QStringLiteral("AB         1000") << false;
        QTest::newRow("colon in the line") << QStringLiteral("AB         1000:") << false;
        QTest::newRow("line below 10000") << QStringLiteral("AB         09999") << false;
        QTest::newRow("nothing") << QString() << false;
    }
    // In the grids' order (from the index range alone if the bound splits), or by the key.
    void sameRowsEitherWay() {
        QFETCH(QString, bound);
        QFETCH(bool, splits);
        const std::pair<QString, int> orders[] = {
            {"HCOD1,HSEQ", 0}, {Key + " ASC", 1}, {Key + " DESC", -1}};
        for (const QString op : {">=", "<="})
            for (const auto& [order, direction] : orders) {
                const QString text =
                    QStringLiteral(
                        "SELECT HCOD1,HSEQ,%1 AS HINX FROM H WITH (INDEX = H_INX) "
                        "WHERE HICOD = 'I1' AND %1 %2 '%3' ORDER BY %4")
                        .arg(Key, op, QString(bound).replace(u'\'', QLatin1String("''")), order);
                QStringList rows, keys;
                const ResultSets sets = m_fixture->db().execute(text);
                for (const QVariantList& row : sets[0].rows) {
                    rows.append(row[0].toString() + u'|' + row[1].toString());
                    keys.append(row[2].toString());
                }
                for (qsizetype i = 1; direction != 0 && i < keys.size(); ++i)
                    QVERIFY2(direction * m_collation.compare(keys[i - 1], keys[i]) <= 0,
                             qPrintable(keys[i]));
                rows.sort();
                QCOMPARE(rows, expected(op, bound));
                const auto prepared = m_fixture->db().translator().prepare(text)[0];
                QCOMPARE(prepared.sql.contains("(t0.\"HCOD1\", t0.\"HSEQ\") " + op), splits);
                if (!splits || direction != 0) continue;
                const QString plan = m_fixture->plan(text).join(u';');
                QVERIFY2(plan.contains(QLatin1String("INDEX H_INX (HICOD=? AND (HCOD1,HSEQ)")) &&
                             !plan.contains(QLatin1String("TEMP B-TREE")),
                         qPrintable(plan));
            }
    }
};

QTEST_GUILESS_MAIN(TsqlPagingTest)
#include "tst_tsqlpaging.moc"
