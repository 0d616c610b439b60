#pragma once

// The statement corpus: the module's texts with the suite server's column names and rows.
#include <QtTest>
#include <algorithm>

#include "DbError.h"
#include "TsqlFixture.h"

namespace TsqlCorpus {

struct Case {
    QString text;
    QString columns;         // result column names, "|" between them, " // " between sets
    QString expected;        // rows as ShowResults writes them
    bool unordered = false;  // no order asked for (or ties): the rows are compared as a set
};

inline void addCases(std::initializer_list<Case> cases) {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("unordered");
    for (const Case& c : cases)
        QTest::newRow(qPrintable(c.text)) << c.text << c.columns << c.expected << c.unordered;
}

// Rows of a data-driven test of a text (naming the row) and what it gives.
inline void addPairs(std::initializer_list<std::pair<const char*, const char*>> rows) {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    for (const auto& [text, expected] : rows)
        QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(expected);
}

// Whether got is the expected text; an expected text ending in '*' stands for any ending.
inline bool matches(const QString& expected, const QString& got) {
    return expected.endsWith(u'*') ? got.startsWith(expected.chopped(1)) : got == expected;
}

// Runs the current row of a data-driven test of addCases.
inline void check(EmbeddedDatabase& db) {
    QFETCH(QString, text);
    QFETCH(QString, names);
    QFETCH(QString, expected);
    QFETCH(bool, unordered);
    ResultSets sets;
    try {
        sets = db.execute(text);
    } catch (const DbError& e) {
        QFAIL(qPrintable(e.hexNumber() + u' ' + e.description()));
    }
    QStringList columns;
    for (const ResultSet& set : sets) columns.append(set.columns.join(u'|'));
    QCOMPARE(columns.join(QStringLiteral(" // ")), names);
    // Without an order asked for, the rows of every set in a fixed order.
    const auto sorted = [&](const QString& shown) {
        QStringList sets = shown.split(QStringLiteral(" // "));
        for (QString& set : sets) {
            QStringList rows = set.split(u';');
            rows.sort();
            set = rows.join(u';');
        }
        return unordered ? sets.join(QStringLiteral(" // ")) : shown;
    };
    QCOMPARE(sorted(ShowResults(sets)), sorted(expected));
}

}  // namespace TsqlCorpus
