// Any text gets rows or a database error, never a crash or a damaged file (seeded mutations).
#include <QRandomGenerator>
#include <QtTest>
#include <tuple>

#include "DbError.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"
#include "TsqlLexer.h"
#include "TsqlPattern.h"

using namespace Qt::StringLiterals;

namespace {
const char* const Rows =
    "INSERT INTO Acco (ACODE, ANOTE) VALUES ('1311', '機器設備');"
    "INSERT INTO Depart25 (DEPARTNO, DENAME) VALUES ('01', '管理部');"
    "INSERT INTO Asset (ACODE, ANAME, ACOD1, ATOT1, ASELL) VALUES ('EQ0001', '電腦', '1312', 5, 0);"
    "INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, APERC) VALUES ('0016', 'EQ0001', 1, 40);"
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINUM, SONUM) VALUES ('1140105', 1, 'MS0451', 1, 0);";

// The module's statements, one of each construct.
const char* const Seeds[] = {
    "Select *,Isnull((Select Dename From Depart25 Where Departno = Adeno),'') As Adena From "
    "Assetd_Temp Where Lcode = '0016'",
    "SELECT TOP 10 ACODE AS A,ANOTE AS B FROM ACCO WHERE ACODE LIKE '13[_]%' AND ACODE >= "
    "(SELECT MIN(ACODE) FROM (SELECT TOP 2 ACODE FROM ACCO WHERE ACODE LIKE '131%' AND ACODE <= "
    "'1313' ORDER BY ACODE DESC) AS A) ORDER BY ACODE",
    "Select Sum(Atot1) From Asset Where Acode Between 'EQ0001' And 'EQ9999';Select Acode As "
    "'財產編號',Case When Asell = 1 Then '是' Else '否' End As '售出' From Asset Order By 1",
    "SELECT TOP 15 (CONVERT(CHAR(11),SCOD1) + CONVERT(CHAR(5),(10000 + SSEQ))) AS HINX FROM SISE "
    "WITH (INDEX = SISE1_INX) WHERE SICOD = 'MS0451' AND (SINUM-SONUM) > 0 ORDER BY SCOD1 DESC",
    "IF (Select '1312') > (Select '1311') Begin Select 'T' End Else Begin Select 'F' End",
    "Select IsNull((Select Convert(VarChar,Snumb) From ZqPro4..Stoc Where Stcod = '001' And "
    "Sitem = 'MS0451'),'無此代號') as '台北庫存'",
    "SELECT ICODE,INAME FROM ITEM,ITEM1 WHERE ICODE = ICODE1 AND ICODE IN (SELECT SICOD FROM "
    "SISE GROUP BY SICOD) AND INAME NOT LIKE N'%滑%' ORDER BY ICODE",
    "INSERT INTO Assetd_Temp (LCODE, ACODE, ASEQ, APERC) VALUES ('0016', 'EQ0001', 3, 0)",
    "UPDATE Assetd_Temp SET APERC = APERC - 10, ATOTA = ATOTA / 2 WHERE ASEQ = 3",
    "EXEC SF_ZQ2K_ASSET_F2 '0016','EQ','EQ%',1",
};

const QStringList Replacements =
    u"SELECT FROM WHERE AND OR NOT IN IS NULL LIKE CASE WHEN THEN ELSE END TOP ORDER BY GROUP AS "
    u"UNION EXEC IF BEGIN INSERT UPDATE DELETE SET INTO JOIN ON WITH ( ) , . ; + - * / % = <= <> "
    u"!= ' \" [ ] N'甲' 0 1 2.5 'a' '' .. @x -- /* */ CONVERT CHAR(0) ISNULL COUNT (*) SUM EXISTS "
    u"\x01 LEFT SUBSTRING"_s.split(u' ');

QString mutated(QRandomGenerator& random, const QString& seed) {
    QStringList tokens;
    for (const TsqlToken& t : TsqlLexer::tokenize(seed)) tokens.append(t.text);
    for (int c = random.bounded(4) == 0 ? 2 : 1; c > 0 && !tokens.isEmpty(); --c) {
        const int at = random.bounded(int(tokens.size()));
        const int change = random.bounded(5);
        if (change == 0)
            tokens.removeAt(at);
        else if (change == 1)
            tokens.insert(at, tokens[at]);
        else if (change == 2 && at + 1 < tokens.size())
            tokens.swapItemsAt(at, at + 1);
        else if (change == 3)
            tokens = tokens.mid(0, at);
        else if (change == 4)
            tokens[at] = Replacements[random.bounded(int(Replacements.size()))];
    }
    return tokens.join(u' ');
}

// A text of characters that each begin or end something for the scanner.
// Literals of every kind and start, some that run into what follows them.
const QStringList OtherLiterals =
    u"1 0 42 .5 1. 1e3 1e 1E+ E+7 0x1F 0x 'x' '' 'a''b' N'甲' n'b' ' N' 12ab 'x'y 3.4.5"_s.split(u' ');

// (and now and then one of `more`)
QString soup(QRandomGenerator& random, const QStringList& more = {}) {
    static const QStringList Pieces =
        u"N n ' '' \" [ ] - -- / /* */ * . 0 7 0x e E+ a _ # @ $ \n < = ! ( 甲 \U0001F600 \u0301 "
        u"\x01 \t : |"_s.split(u' ')
        << u" "_s;
    QString text;
    for (int i = random.bounded(1, 25); i > 0; --i)
        text += !more.isEmpty() && random.bounded(4) == 0 ? more[random.bounded(int(more.size()))]
                                                          : Pieces[random.bounded(int(Pieces.size()))];
    return text;
}

// The literals as nextLiteral (quick) or next finds them.
QList<std::tuple<int, qsizetype, qsizetype, bool>> literals(const QString& text, bool quick) {
    using Kind = TsqlToken::Kind;
    QList<std::tuple<int, qsizetype, qsizetype, bool>> found;
    TsqlScanner scanner(text);
    TsqlScanner::Piece p;
    while (quick ? scanner.nextLiteral(p, text.size()) : scanner.next(p))
        if (quick || (p.kind != Kind::Word && p.kind != Kind::Symbol &&
                      p.kind != Kind::QuotedName && p.kind != Kind::Variable))
            found.append({int(p.kind), p.begin, p.length, p.national});
    return found;
}

bool isLiteral(const TsqlToken& t) {
    return t.kind == TsqlToken::Kind::String || t.kind == TsqlToken::Kind::Number;
}

// A text from its first token to its last, as a pattern takes it, with its tokens.
struct Statement {
    QString text;
    TsqlTokens tokens;
    explicit Statement(const QString& whole) {
        const TsqlTokens all = TsqlLexer::tokenize(whole);
        if (all.isEmpty()) return;
        text = whole.mid(all.front().begin, all.back().end() - all.front().begin);
        tokens = TsqlLexer::tokenize(text);
    }
    // The text with a mark for each literal but the fixed ones: what a pattern keeps.
    QString shape(const QList<bool>& fixed) const {
        QString out;
        qsizetype plain = 0;
        int slot = 0;
        for (const TsqlToken& t : tokens) {
            if (!isLiteral(t)) continue;
            out += text.mid(plain, t.begin - plain);
            out += fixed.value(slot++) ? t.text
                                       : QString(t.kind == TsqlToken::Kind::Number ? u'\x02'
                                                 : t.national ? u'\x03'
                                                              : u'\x04');
            plain = t.end();
        }
        return out + text.mid(plain);
    }
};

int lead(QChar c) { return c == u'.' ? 1 : c.isDigit() ? 2 : c == u'\'' ? 3 : 4; }
}  // namespace

class TsqlFuzzTest : public QObject {
    Q_OBJECT

private slots:
    // Both kinds of answer come up, and the file is sound after all of it.
    void mutatedStatements() {
        TsqlFixture fixture{QString()};
        SuiteSchema::create(fixture.db().connection());
        fixture.db().connection().script(QString::fromUtf8(Rows));
        QRandomGenerator random(20261205);
        int answered = 0, refused = 0;
        for (int round = 0; round < 1800; ++round)
            for (const char* seed : Seeds) {
                const QString text = mutated(random, QString::fromUtf8(seed));
                try {
                    fixture.db().execute(text);
                    ++answered;
                } catch (const DbError& e) {
                    QVERIFY2(!e.description().isEmpty(), qPrintable(text));
                    ++refused;
                }
            }
        QVERIFY2(answered > 100 && refused > 100, qPrintable(QString::number(answered)));
        QCOMPARE(fixture.db().connection().scalar("PRAGMA integrity_check").toString(), "ok");
    }

    // The quick pass finds the literals of the full scan.
    void literalsFoundAsByTheWholeScan() {
        QRandomGenerator random(20261206);
        for (int round = 0; round < 20000; ++round) {
            const QString text =
                round % 2 ? soup(random)
                          : mutated(random, QString::fromUtf8(Seeds[round / 2 % std::size(Seeds)]));
            QVERIFY2(literals(text, true) == literals(text, false), qPrintable(text));
        }
    }

    // A pattern matches a text only when the text's tokens are its own but for the literals in
    // its holes, and then finds them where the full scan does, under the same head; it matches
    // every text whose literals differ only in value.
    void patternsMatchTheSameStatementOnly() {
        QRandomGenerator random(20261207);
        int matched = 0;
        for (int round = 0; round < 20000; ++round) {
            const Statement sample(round % 2 ? soup(random, OtherLiterals)
                                             : mutated(random, QString::fromUtf8(
                                                                   Seeds[round / 2 % std::size(Seeds)])));
            if (sample.tokens.isEmpty() || sample.tokens.back().isUnclosed()) continue;
            TsqlPattern::Literals holes;
            QList<bool> fixed;
            for (const TsqlToken& t : sample.tokens)
                if (isLiteral(t)) {
                    fixed.append(random.bounded(4) == 0);
                    holes.push_back({t.begin, t.length, t.kind == TsqlToken::Kind::Number,
                                     t.national, fixed.back()});
                }
            const TsqlPattern pattern(sample.text, holes);

            // Another text: literals rewritten, now and then another token too.
            QString text = sample.text;
            bool alike = true;
            int slot = int(holes.size());
            for (qsizetype i = sample.tokens.size() - 1; i >= 0; --i) {
                const TsqlToken& t = sample.tokens[i];
                slot -= isLiteral(t) ? 1 : 0;
                QString other;
                if (isLiteral(t) && random.bounded(2) == 0) {
                    other = OtherLiterals[random.bounded(int(OtherLiterals.size()))];
                    const Statement lone(other);
                    alike = alike && !fixed[slot] && lone.tokens.size() == 1 &&
                            isLiteral(lone.tokens[0]) && lone.tokens[0].kind == t.kind &&
                            lone.tokens[0].national == t.national &&
                            lead(other[0]) == lead(t.text[0]);
                } else if (random.bounded(30) == 0) {
                    other = random.bounded(2) ? soup(random).left(3)
                                              : OtherLiterals[random.bounded(int(OtherLiterals.size()))];
                    alike = false;
                } else {
                    continue;
                }
                text.replace(t.begin, t.length, other);
            }
            const Statement again(text);
            if (again.tokens.isEmpty()) continue;
            TsqlPattern::Literals found;
            const bool matches = pattern.match(again.text, found);
            const QByteArray why = (sample.text + u" / "_s + again.text).toUtf8();
            // (A literal's extent may depend on what follows it: 0x before E.)
            if (alike && again.text == text && again.tokens.size() == sample.tokens.size() &&
                again.shape(fixed) == sample.shape(fixed))
                QVERIFY2(matches, why.constData());
            if (!matches) continue;
            ++matched;
            QVERIFY2(!again.tokens.back().isUnclosed(), why.constData());
            QCOMPARE(again.shape(fixed), sample.shape(fixed));
            QCOMPARE(TsqlPattern::head(again.text), pattern.head());
            QList<std::tuple<qsizetype, qsizetype>> spans, tokens;
            for (const TsqlPattern::Literal& l : found) spans.append({l.begin, l.length});
            for (const TsqlToken& t : again.tokens)
                if (isLiteral(t)) tokens.append({t.begin, t.length});
            QCOMPARE(spans, tokens);
        }
        QVERIFY2(matched > 3000, qPrintable(QString::number(matched)));
    }
};

QTEST_GUILESS_MAIN(TsqlFuzzTest)
#include "tst_tsqlfuzz.moc"
