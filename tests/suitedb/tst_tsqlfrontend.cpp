// The T-SQL front end without a database: tokens, statements, IF structure, procedure calls,
// and the refusals that come before anything runs.
#include <QtTest>

#include "DbError.h"
#include "TsqlBatch.h"
#include "TsqlLexer.h"

using Kind = BatchStatement::Kind;

namespace {
// A readable outline of a batch: Sql[text] Call[name|args] If[cond](then)(else) Block{...}
QString outline(const TsqlBatch& batch, const BatchStatement& s) {
    switch (s.kind) {
        case Kind::Sql:
            return QStringLiteral("Sql[%1]").arg(batch.slice(s.first, s.last));
        case Kind::Call: {
            QStringList args;
            for (const QVariant& v : s.arguments)
                args.append(!v.isValid()                       ? QStringLiteral("NULL")
                            : v.typeId() == QMetaType::QString ? u'\'' + v.toString() + u'\''
                            : v.typeId() == QMetaType::LongLong
                                ? QStringLiteral("i") + v.toString()
                                : QStringLiteral("d") + v.toString());
            return QStringLiteral("Call[%1|%2]").arg(s.procedure, args.join(u','));
        }
        case Kind::If: {
            QString text = QStringLiteral("If[%1]").arg(batch.slice(s.first, s.last));
            for (const BatchStatement& b : s.body) text += u'(' + outline(batch, b) + u')';
            return text;
        }
        case Kind::Block: {
            QStringList inner;
            for (const BatchStatement& b : s.body) inner.append(outline(batch, b));
            return u'{' + inner.join(u' ') + u'}';
        }
    }
    return {};
}

QString outline(const QString& text) {
    const TsqlBatch batch(text);
    QStringList parts;
    for (const BatchStatement& s : batch.statements()) parts.append(outline(batch, s));
    return parts.join(u' ');
}

QString kinds(const TsqlTokens& tokens) {
    QStringList out;
    for (const TsqlToken& t : tokens) {
        static const char* names[] = {"W", "Q", "S", "N", "V", "P", "US", "UQ", "UC"};
        out.append(QLatin1String(names[int(t.kind)]) + u':' + t.value());
    }
    return out.join(u' ');
}
}  // namespace

class TsqlFrontEndTest : public QObject {
    Q_OBJECT

private slots:
    void tokens_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quotes doubled") << "'it''s'"
                                        << "S:it's";
        QTest::newRow("national text") << "N'台北' n'x'"
                                       << "S:台北 S:x";
        QTest::newRow("empty text") << "''"
                                    << "S:";
        QTest::newRow("brackets") << "[Order Lines] [a]]b]"
                                  << "Q:Order Lines Q:a]b";
        QTest::newRow("double-quoted name") << "\"x\"\"y\""
                                            << "Q:x\"y";
        QTest::newRow("numbers") << "12 1.5 .5 1e3 0x1F"
                                 << "N:12 N:1.5 N:.5 N:1e3 N:0x1F";
        QTest::newRow("variables") << "@a @@ROWCOUNT"
                                   << "V:@a V:@@ROWCOUNT";
        QTest::newRow("words with marks") << "#tmp a$b_1 資產"
                                          << "W:#tmp W:a$b_1 W:資產";
        QTest::newRow("two-character operators")
            << "a<=b<>c!=d>=e||f"
            << "W:a P:<= W:b P:<> W:c P:!= W:d P:>= W:e P:|| W:f";
        QTest::newRow("comments skipped") << "a -- x 'y\nb /* 1 /* 2 */ 'z' */ c"
                                          << "W:a W:b W:c";
        QTest::newRow("quote inside comment") << "/* it's */ 'ok'"
                                              << "S:ok";
        QTest::newRow("comment marks inside text") << "'--x' '/*'"
                                                   << "S:--x S:/*";
        QTest::newRow("unclosed text") << "a 'bc"
                                       << "W:a US:'bc";
        QTest::newRow("unclosed bracket") << "[ab"
                                          << "UQ:[ab";
        QTest::newRow("unclosed comment") << "a /* /* */"
                                          << "W:a UC:/* /* */";
    }
    void tokens() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(kinds(TsqlLexer::tokenize(text)), expected);
    }

    void statements_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two selects") << "Select 1; Select 2"
                                     << "Sql[Select 1] Sql[Select 2]";
        QTest::newRow("semicolon in text") << "Select ';'; Select 2"
                                           << "Sql[Select ';'] Sql[Select 2]";
        QTest::newRow("empty statements") << ";;Select 1;;"
                                          << "Sql[Select 1]";
        QTest::newRow("bare call") << "SF_ZQ2K_SALE '0016','ADM',1"
                                   << "Call[SF_ZQ2K_SALE|'0016','ADM',i1]";
        QTest::newRow("exec call") << "EXEC SP_TIME_UPDATE '0016'"
                                   << "Call[SP_TIME_UPDATE|'0016']";
        QTest::newRow("execute, two blanks, owner") << "execute  dbo.SP_F8F_DEL 12"
                                                    << "Call[SP_F8F_DEL|i12]";
        QTest::newRow("catalogue..name") << "EXEC ZQDEMO..P"
                                         << "Call[P|]";
        QTest::newRow("argument kinds") << "P 'a''b', -3, +2.5, NULL, N'中', x"
                                        << "Call[P|'a'b',i-3,d2.5,NULL,'中','x']";
        QTest::newRow("unknown word is a call") << "selec 1"
                                                << "Call[selec|i1]";
        QTest::newRow("comparison batch")
            << "IF (Select 'b') > (Select 'a') Begin Select 'T' End Else Begin Select 'F' End"
            << "If[(Select 'b') > (Select 'a')]({Sql[Select 'T']})({Sql[Select 'F']})";
        QTest::newRow("single-statement branches")
            << "IF EXISTS (SELECT 1) SELECT 'y' ELSE SELECT 'n'"
            << "If[EXISTS (SELECT 1)](Sql[SELECT 'y'])(Sql[SELECT 'n'])";
        QTest::newRow("else if chain")
            << "if 1=0 begin select 1 end else if 1=1 begin select 2; select 3 end"
            << "If[1=0]({Sql[select 1]})(If[1=1]({Sql[select 2] Sql[select 3]}))";
        QTest::newRow("case inside branch")
            << "IF 1=1 SELECT CASE WHEN 1=1 THEN 'a' ELSE 'b' END ELSE SELECT 'c'"
            << "If[1=1](Sql[SELECT CASE WHEN 1=1 THEN 'a' ELSE 'b' END])(Sql[SELECT 'c'])";
        QTest::newRow("keywords inside texts do not count")
            << "IF 'begin' = 'end' BEGIN SELECT 'else;' END"
            << "If['begin' = 'end']({Sql[SELECT 'else;']})";
        QTest::newRow("statement after a block") << "IF 1=1 BEGIN SELECT 1 END SELECT 2"
                                                 << "If[1=1]({Sql[SELECT 1]}) Sql[SELECT 2]";
        QTest::newRow("call inside a block") << "IF 1=1 BEGIN EXEC P 'x' END"
                                             << "If[1=1]({Call[P|'x']})";
        QTest::newRow("begin transaction is no block") << "BEGIN TRANSACTION"
                                                       << "Sql[BEGIN TRANSACTION]";
    }
    void statements() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(outline(text), expected);
    }

    void refusals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("empty") << "" << quint32(0x80040E0C) << QString();
        QTest::newRow("blanks and comments")
            << " -- x\n /* y */ " << quint32(0x80040E0C) << QString();
        QTest::newRow("semicolons only") << " ; ; " << quint32(0x80040E0C) << QString();
        QTest::newRow("unclosed quote")
            << "Select 'abc" << quint32(0x80040E14) << "在字元字串 'abc' 之後有未封閉的引號。";
        QTest::newRow("IF without branch")
            << "IF 1=1" << quint32(0x80040E14) << "接近 '1' 之處的語法不正確。";
        QTest::newRow("IF without condition")
            << "IF BEGIN SELECT 1 END" << quint32(0x80040E14) << "接近 'BEGIN' 之處的語法不正確。";
        QTest::newRow("missing END") << "IF 1=1 BEGIN SELECT 1" << quint32(0x80040E14) << QString();
        QTest::newRow("stray ELSE")
            << "SELECT 1 ELSE SELECT 2" << quint32(0x80040E14) << "接近 'ELSE' 之處的語法不正確。";
        QTest::newRow("stray END")
            << "END" << quint32(0x80040E14) << "接近 'END' 之處的語法不正確。";
        QTest::newRow("variable argument")
            << "EXEC P @x" << quint32(0x80040E14) << "接近 '@x' 之處的語法不正確。";
        QTest::newRow("missing argument")
            << "EXEC P 'a',,'b'" << quint32(0x80040E14) << "接近 ',' 之處的語法不正確。";
        QTest::newRow("nesting beyond reason")
            << QStringLiteral("BEGIN ").repeated(100000) << quint32(0x80040E14) << QString();
        QTest::newRow("junk after arguments")
            << "EXEC P 'a' 'b'" << quint32(0x80040E14) << "接近 ''b'' 之處的語法不正確。";
    }
    void refusals() {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QFETCH(QString, description);
        try {
            TsqlBatch batch(text);
            QFAIL("accepted");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), number);
            if (!description.isEmpty()) QCOMPARE(e.description(), description);
        }
    }
};

QTEST_APPLESS_MAIN(TsqlFrontEndTest)
#include "tst_tsqlfrontend.moc"
