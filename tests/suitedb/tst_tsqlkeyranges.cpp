// Unpadded history keys as index ranges: the text comparison's rows, the grid's index, flat work.
#include <sqlite3.h>

#include <QtTest>
#include <random>

#include "HistoryGrids.h"
#include "LookupSource.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"
#include "Values.h"

namespace {
// Codes and tails of mixed length, case, blanks, accents, width; prefixes, tabs, Chinese.
const QStringList Codes = QStringLiteral(
                              "| |A|a|A |A  |AB|ab|AB |AB1|A B|A-1|A1|á|Á1|1140210000|11402100001|"
                              "114021000011|中|中文|中文 |丁|中a|A\t|ＡＢ")
                              .split(u'|');
const QStringList Tails =
    QStringLiteral("| |0|1|01|1 |A|a|A1|a01|B | 1|中|丁1|Z9|L1140210000101|-|á").split(u'|');
const QList<int> Lines = {0, 1, 2, 9, 10, 11, 100, 89999, 90000, -1, -10001};

// Rows tied on both parts (case, width or trailing blanks apart) would leave a TOP's cut to chance.
QString tie(const QString& a, const QString& b) {
    auto norm = [](QString s) {
        while (s.endsWith(u' ')) s.chop(1);
        return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
    };
    return norm(a) + u'\x1f' + norm(b);
}

// The grids of unpadded keys, and their keys as the statements write them.
const std::pair<HistoryGrid, const char*> Grids[] = {
    {HistoryGrid::PurchaseReturns, "(VCOD1 + CONVERT(CHAR(5),(10000 + VOSEQ)))"},
    {HistoryGrid::Locations, "(ITCOD + IICOD)"},
    {HistoryGrid::Lots, "VCOD1 + VCOD1SEQ"},
};
const QString CustomerKey =
    QStringLiteral("(CONVERT(CHAR(17),HICOD) + HCOD1 + CONVERT(CHAR(5),(10000 + HSEQ)))");

// The statement with the key compared as plain text: joined with '' nothing splits it.
QString plainly(QString text, const QString& key) {
    for (const char* op : {" >= ", " <= "})
        text.replace(u' ' + key + QLatin1String(op), u' ' + key + " + ''" + QLatin1String(op));
    return text;
}
}  // namespace

class TsqlKeyRangesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;
    QMap<HistoryGrid, QStringList> m_keys;

    void insert(const QString& item, const QString& code, const QString& tail, int line) {
        SqliteConnection& c = m_fixture->db().connection();
        c.exec(
            "INSERT INTO VISEOU (VCOD1, VOSEQ, VICOD, VPNAM, SystemVisible) VALUES "
            "(?1, ?2, ?3, 'P', ?4)",
            {code, line, item, line == 2 ? 0 : 1});
        c.exec("INSERT INTO ITEMP (ICODE, ITCOD, IICOD) VALUES (?1, ?2, ?3)", {item, code, tail});
        c.exec(
            "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VPNAM, VCOD1SEQ, VCOD1NUM) VALUES "
            "(?1, ?2, ?3, 'P', ?4, ?5)",
            {code, line, item, tail, line == 9 ? 0 : 1});
    }
    void sale(const char* customer, const QString& item, const QString& doc, int line,
              const char* salesman) {
        m_fixture->db().connection().exec(
            "INSERT INTO HISTIN (HCOD1, HSEQ, HICOD, HPCOD, HSCOD) VALUES (?1, ?2, ?3, ?4, ?5)",
            {doc, line, item, customer, salesman});
    }

    ResultSets run(const QString& text) { return m_fixture->db().execute(text); }

    // The SQLite steps that the statement takes, as the front end translates it.
    qint64 steps(const QString& text) {
        const auto prepared = m_fixture->db().translator().prepare(text)[0];
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(m_fixture->db().connection().handle(), prepared.sql.toUtf8(), -1, &s,
                           nullptr);
        for (int i = 0; i < prepared.values.size(); ++i) {
            const QVariant& v = prepared.values[i];
            if (v.typeId() != QMetaType::QString)
                sqlite3_bind_int64(s, i + 1, v.toLongLong());
            else
                sqlite3_bind_text(s, i + 1, v.toString().toUtf8(), -1, SQLITE_TRANSIENT);
        }
        while (sqlite3_step(s) == SQLITE_ROW) continue;
        const qint64 n = sqlite3_stmt_status(s, SQLITE_STMTSTATUS_VM_STEP, 0);
        sqlite3_finalize(s);
        return n;
    }

    // Each page statement on each bound gives the rows of its plain form; `split` counts ranges.
    void sameAsPlainly(const HistoryStatements& s, const QStringList& bounds, const QString& key,
                       int& split) {
        for (const QString& bound : bounds) {
            QStringList texts = {s.upBoundary(bound), s.upRows(bound), s.endRows(bound)};
            const QString order = " ORDER BY VCOD1,VCOD1SEQ DESC";
            const QString from = " AND VCOD1 + VCOD1SEQ >= '" + QString(bound).replace(u'\'', "''");
            if (s.grid() == HistoryGrid::Lots)
                texts << s.lotBefore(bound) << s.lotAfter(bound)
                      << s.firstRows({}).replace(order, from + u'\'' + order);
            for (const QString& text : texts) {
                const QString plain = plainly(text, key);
                QVERIFY2(plain != text, qPrintable(text));
                const QString rows = ShowResults(run(text));
                QVERIFY2(rows == ShowResults(run(plain)), qPrintable(text + "\n" + rows));
                split += m_fixture->db().translator().prepare(text)[0].sql.contains("UNION ALL");
            }
        }
    }

    // Page Up takes the steps for the big item (or customer) of the small; plain text reads more.
    void workAsForTheSmall(const HistoryStatements& big, const HistoryStatements& small,
                           const QStringList& bounds, const QString& key) {
        for (const QString& bound : bounds)
            for (const auto& page : {&HistoryStatements::upBoundary, &HistoryStatements::upRows}) {
                const qint64 b = steps((big.*page)(bound));
                const qint64 s = steps((small.*page)(bound));
                QVERIFY2(b < s * 3 / 2,
                         qPrintable(QString("%1: %2 against %3").arg(bound).arg(b).arg(s)));
            }
        QVERIFY(steps(plainly(big.upRows(bounds.last()), key)) >
                10 * steps(big.upRows(bounds.last())));
    }

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        std::mt19937 random(7);
        QSet<QString> ties;
        for (const QString& code : Codes)
            for (int i = 0; i < 6; ++i) {
                const QString tail = Tails[qsizetype(random() % Tails.size())];
                const int line = Lines[qsizetype(random() % Lines.size())];
                const QString byTail = tie(code, tail), byLine = tie(code, QString::number(line));
                if (ties.contains(byTail) || ties.contains(byLine)) continue;
                ties << byTail << byLine;
                insert(QStringLiteral("I1"), code, tail, line);
                if (i == 0) insert(QStringLiteral("I2"), code, tail, line);
            }
        // Bounds: the keys of the rows as the grids read them, and texts next to them.
        for (const auto& [grid, key] : Grids) {
            const HistoryStatements s(grid, "I1", HistoryReader());
            const bool lots = grid == HistoryGrid::Lots;
            const QString all = lots ? s.lotAfter(QString()) : s.homeRows();
            const ResultSets sets =
                run(QString(all).replace(QRegularExpression("^SELECT TOP \\d+ "), "SELECT "));
            QStringList keys;
            for (const QVariantList& row : sets[0].rows)
                keys.append(lots ? row[1].toString() + row[0].toString() : row.last().toString());
            QVERIFY(keys.size() > 60);
            QStringList bounds = {"", " ", "A", "a ", "A B", "AB  1", "中", "中文", "\t", "A\t"};
            for (qsizetype i = 0; i < keys.size(); i += 3) {
                const QString& k = keys[i];
                bounds << k << k + u' ' << k.toLower() << k.left(k.size() / 2)
                       << k.chopped(k.isEmpty() ? 0 : 1) << k + u'0' << k + u'\t';
            }
            m_keys[grid] = bounds;
        }
    }
    void cleanupTestCase() { m_fixture.reset(); }

    // Every statement of the three grids, split and plain, on every bound.
    void sameRowsAsTheTextComparison() {
        for (const auto& [grid, key] : Grids)
            for (const bool rights : {false, true}) {
                HistoryReader reader;
                reader.purchasePrices = reader.allSalesmen = rights;
                int split = 0;
                sameAsPlainly(HistoryStatements(grid, "I1", reader), m_keys[grid], key, split);
                QVERIFY2(split > m_keys[grid].size() * 2, qPrintable(QString::number(split)));
            }
    }

    // Every grid's statements read its table (t0) from its index alone (for lots the open lots').
    void everyPageReadsOnlyTheGridsIndex() {
        HistoryReader all;
        all.allSalesmen = all.allDepartments = all.purchasePrices = all.lotPurchasePrice = true;
        static const QRegularExpression hint(QStringLiteral("WITH \\(INDEX = (\\w+)\\)"));
        const QString key = QStringLiteral("1140105000110001");
        for (const HistoryGrid g : AllHistoryGrids())
            for (const HistoryReader& reader : {HistoryReader(), all}) {
                const HistoryStatements s(g, "I1", reader);
                const QString index = g == HistoryGrid::Lots ? QStringLiteral("VISEIN_LOT")
                                      : g == HistoryGrid::OpenOrders
                                          ? QStringLiteral("ORSUB_OICOD")
                                          : hint.match(s.homeRows()).captured(1);
                QStringList texts = {s.firstBoundary(), s.firstRows(key), s.upBoundary(key),
                                     s.upRows(key),     s.downRows(key),  s.homeRows()};
                if (g == HistoryGrid::Lots) texts << s.firstRows({}) << s.lotBefore(key);
                for (const QString& text : texts) {
                    const QStringList reads = m_fixture->plan(text).filter(QLatin1String(" t0 "));
                    QVERIFY2(
                        !reads.isEmpty() &&
                            reads.filter(" COVERING INDEX " + index + u' ').size() == reads.size(),
                        qPrintable(text + u'\n' + reads.join(u'\n')));
                }
            }
    }

    // Pages of an item of 4,000 lines take the steps of one of 100; lookup pages start far in.
    void workDoesNotGrowWithTheItem() {
        for (int n = 0; n < 4000; ++n) {
            const QString code = QStringLiteral("D%1").arg(n / 2, 5, 10, QLatin1Char('0'));
            insert(QStringLiteral("BIG"), code, QStringLiteral("L%1").arg(n), n % 2 + 3);
            if (n % 40 == 0)
                insert(QStringLiteral("SMALL"), code, QStringLiteral("L%1").arg(n), n % 2 + 3);
        }
        for (const auto& [grid, key] : Grids) {
            const QStringList bounds =
                grid == HistoryGrid::PurchaseReturns
                    ? QStringList{"D0030010003", "D0100010003", "D0170010003"}
                    : QStringList{"D00300L600", "D01000L2000", "D01700L3400"};
            workAsForTheSmall(HistoryStatements(grid, "BIG", {}),
                              HistoryStatements(grid, "SMALL", {}), bounds, key);
        }
        // A lookup page with a pattern starts at an anchor far in, not at the pattern's first code.
        for (int n = 0; n < 3000; ++n)
            m_fixture->db().connection().exec(
                "INSERT INTO Asset (ACODE, ANAME) VALUES (?1, 'x')",
                {QStringLiteral("K%1").arg(n, 5, 10, QLatin1Char('0'))});
        const SqlLookupSource lookup("Asset", "ACODE", "ANAME");
        const QString pattern = LikePrefix(QStringLiteral("k"));
        using enum LookupPage;
        const qint64 first = steps(lookup.pageCommand(First, {}, pattern));
        const std::pair<LookupPage, const char*> pages[] = {
            {From, "K02900"}, {UpTo, "K02891"}, {OneUp, "K02899"}, {Last, "K02990"}};
        for (const auto& [page, firstCode] : pages) {
            const QString text = lookup.pageCommand(page, QStringLiteral("k02900"), pattern);
            QCOMPARE(run(text)[0].rows.value(0).value(0).toString(), QLatin1String(firstCode));
            QVERIFY2(steps(text) < 4 * first, qPrintable(text));
        }
    }

    // The customer key: the text comparison's rows, by right 355 and pattern; its index; no growth.
    void customerKey() {
        std::mt19937 random(11);
        QSet<QString> ties;
        for (const QString& item :
             QStringLiteral("A|A1|a2|AB|A B|B|中|ZZZZZZZZZZZZZZZZZ").split(u'|'))
            for (const QString& code : Codes) {
                const int line = Lines[qsizetype(random() % Lines.size())];
                const QString t = tie(item, code) + QString::number(line);
                if (ties.contains(t)) continue;
                ties << t;
                sale("C1", item, code, line, random() % 2 ? "S1" : "S2");
            }
        HistoryReader all, own;
        all.allSalesmen = true;
        own.staffCode = QStringLiteral("S1");
        const auto statements = [](const char* customer, const char* pattern,
                                   const HistoryReader& reader) {
            return HistoryStatements(HistoryGrid::CustomerSales, customer, pattern, reader);
        };
        QStringList bounds = {"", "A", "A                ", "B                x"};
        const ResultSets home =
            run(statements("C1", "%", all).homeRows().replace("SELECT TOP 15 ", "SELECT "));
        for (const QVariantList& row : home[0].rows) {
            const QString k = row[9].toString();
            bounds << k << k.left(17) << k.left(18) << k.chopped(1) << k + u'0' << k.toLower();
        }
        QVERIFY(bounds.size() > 300);
        int split = 0;
        for (const HistoryReader& reader : {all, own})
            for (const char* pattern : {"%", "A%"})
                sameAsPlainly(statements("C1", pattern, reader), bounds, CustomerKey, split);
        QVERIFY2(split > bounds.size() * 6, qPrintable(QString::number(split)));
        // Both buy the same twenty items, the big one forty times as often.
        const auto item = [](int i) {
            return QStringLiteral("I%1").arg(i % 20, 3, 10, QLatin1Char('0'));
        };
        for (int n = 0; n < 4000; ++n) {
            const QString doc = QStringLiteral("1140101%1").arg(n, 4, 10, QLatin1Char('0'));
            sale("BIG", item(n), doc, 1, "S1");
            if (n % 40 == 0) sale("SMALL", item(n / 40), doc, 1, "S1");
        }
        const HistoryStatements big = statements("BIG", "%", all);
        const QString bound = QStringLiteral("I010").leftJustified(17) + "11401011000" + "10001";
        workAsForTheSmall(big, statements("SMALL", "%", all), {bound}, CustomerKey);
        for (const QString& text : {big.upBoundary(bound), big.upRows(bound), big.homeRows()}) {
            const QString steps = m_fixture->plan(text).join(u'\n');
            QVERIFY2(steps.contains(QLatin1String("COVERING INDEX HISTIN_HPCOD")) &&
                         !steps.contains(QLatin1String("SCAN t0")),
                     qPrintable(text + u'\n' + steps));
        }
    }
};

QTEST_GUILESS_MAIN(TsqlKeyRangesTest)
#include "tst_tsqlkeyranges.moc"
