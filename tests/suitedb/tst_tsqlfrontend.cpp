// The T-SQL front end without a database: tokens, statements, IF, calls, early refusals.
#include <QtTest>

#include "DbError.h"
#include "TsqlBatch.h"
#include "TsqlCorpus.h"
#include "TsqlLexer.h"

using Kind = BatchStatement::Kind;

namespace {
// A readable outline of a batch: Sql[text] Call[name|args] If[cond](then)(else) Block{...}
QString outline(const TsqlBatch& batch, const BatchStatement& s) {
    QStringList inner;
    for (const BatchStatement& b : s.body) inner.append(outline(batch, b));
    if (s.kind == Kind::Sql) return "Sql[" + batch.slice(s.first, s.last) + u']';
    if (s.kind == Kind::If)
        return "If[" + batch.slice(s.first, s.last) + "](" + inner.join(")(") + u')';
    if (s.kind == Kind::Block) return u'{' + inner.join(u' ') + u'}';
    QStringList args;
    for (const QVariant& v : s.arguments)
        args.append(!v.isValid()                        ? QStringLiteral("NULL")
                    : v.typeId() == QMetaType::QString  ? u'\'' + v.toString() + u'\''
                    : v.typeId() == QMetaType::LongLong ? u'i' + v.toString()
                                                        : u'd' + v.toString());
    return "Call[" + s.procedure + u'|' + args.join(u',') + u']';
}

// The outline of the batch, or the number and description of its refusal.
QString outline(const QString& text) {
    try {
        const TsqlBatch batch(text);
        QStringList parts;
        for (const BatchStatement& s : batch.statements()) parts.append(outline(batch, s));
        return parts.join(u' ');
    } catch (const DbError& e) {
        return e.hexNumber() + u' ' + e.description();
    }
}

QString kinds(const TsqlTokens& tokens) {
    static const char* names[] = {"W", "Q", "S", "N", "V", "P", "US", "UQ", "UC"};
    QStringList out;
    for (const TsqlToken& t : tokens)
        out.append(QLatin1String(names[int(t.kind)]) + u':' + t.value());
    return out.join(u' ');
}
}  // namespace

class TsqlFrontEndTest : public QObject {
    Q_OBJECT

private slots:
    // Quotes, names, numbers, variables, operators; comments (nested) skipped, not in texts.
    void tokens_data() {
        TsqlCorpus::addPairs({
            {"'it''s' N'台北' n'x' ''", "S:it's S:台北 S:x S:"},
            {"[Order Lines] [a]]b] \"x\"\"y\"", "Q:Order Lines Q:a]b Q:x\"y"},
            {"12 1.5 .5 1e3 0x1F", "N:12 N:1.5 N:.5 N:1e3 N:0x1F"},
            {"@a @@ROWCOUNT #tmp a$b_1 資產", "V:@a V:@@ROWCOUNT W:#tmp W:a$b_1 W:資產"},
            {"a<=b<>c!=d>=e||f", "W:a P:<= W:b P:<> W:c P:!= W:d P:>= W:e P:|| W:f"},
            {"a -- x 'y\nb /* 1 /* 2 */ 'z' */ c '--x' '/*'", "W:a W:b W:c S:--x S:/*"},
            // Unclosed, a token runs to the end of the text.
            {"a 'bc", "W:a US:'bc"},
            {"[ab", "UQ:[ab"},
            {"a /* /* */", "W:a UC:/* /* */"},
        });
    }
    void tokens() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(kinds(TsqlLexer::tokenize(text)), expected);
    }

    // Semicolons (statements joined by them are one range), calls with typed arguments, IF/ELSE
    // (not a CASE's ELSE); early refusals.
    void statements_data() {
        TsqlCorpus::addPairs({
            {";;Select ';'; Select 2;;", "Sql[Select ';'; Select 2]"},
            {"execute  dbo.SP_F8F_DEL 12", "Call[SP_F8F_DEL|i12]"},
            {"P 'a''b', -3, +2.5, NULL, N'中', x", "Call[P|'a'b',i-3,d2.5,NULL,'中','x']"},
            {"if 1=0 begin select 1 end else if 1=1 begin select 2; select 3 end",
             "If[1=0]({Sql[select 1]})(If[1=1]({Sql[select 2; select 3]}))"},
            {"IF 1=1 SELECT CASE WHEN 1=1 THEN 'a' ELSE 'b' END ELSE SELECT 'c'",
             "If[1=1](Sql[SELECT CASE WHEN 1=1 THEN 'a' ELSE 'b' END])(Sql[SELECT 'c'])"},
            {"IF 'begin' = 'end' BEGIN SELECT 'else;' END",
             "If['begin' = 'end']({Sql[SELECT 'else;']})"},
            {"IF 1=1 BEGIN EXEC P 'x' END SELECT 2", "If[1=1]({Call[P|'x']}) Sql[SELECT 2]"},
            {"BEGIN TRANSACTION", "Sql[BEGIN TRANSACTION]"},
            {" -- x\n /* y */ ; ; ", "0x80040E0C *"},
            {"Select 'abc", "0x80040E14 在字元字串 'abc' 之後有未封閉的引號。"},
            {"IF 1=1", "0x80040E14 接近 '1' 之處的語法不正確。"},
            {"IF 1=1 BEGIN SELECT 1", "0x80040E14 *"},
            {"SELECT 1 ELSE SELECT 2", "0x80040E14 接近 'ELSE' 之處的語法不正確。"},
            {"EXEC P 'a',,'b'", "0x80040E14 接近 ',' 之處的語法不正確。"},
        });
        QTest::newRow("BEGIN nested 100,000 deep")
            << QStringLiteral("BEGIN ").repeated(100000) << QStringLiteral("0x80040E14 *");
    }
    void statements() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString got = outline(text);
        QVERIFY2(TsqlCorpus::matches(expected, got), qPrintable(got));
    }
};

QTEST_APPLESS_MAIN(TsqlFrontEndTest)
#include "tst_tsqlfrontend.moc"
