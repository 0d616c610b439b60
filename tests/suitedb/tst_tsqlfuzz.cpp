// Any text gets rows or a database error, never a crash or a damaged file (seeded mutations).
#include <QRandomGenerator>
#include <QtTest>
#include <tuple>

#include "DbError.h"
#include "SuiteSchema.h"
#include "TsqlFixture.h"
#include "TsqlLexer.h"

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
QString soup(QRandomGenerator& random) {
    static const QStringList Pieces =
        u"N n ' '' \" [ ] - -- / /* */ * . 0 7 0x e E+ a _ # @ $ \n < = ! ( 甲 \U0001F600 \u0301 "
        u"\x01 \t : |"_s.split(u' ')
        << u" "_s;
    QString text;
    for (int i = random.bounded(1, 25); i > 0; --i)
        text += Pieces[random.bounded(int(Pieces.size()))];
    return text;
}

// The literals and the outer bounds of the tokens, as nextLiteral (quick) or next finds them.
struct Found {
    QList<std::tuple<int, qsizetype, qsizetype, bool>> literals;
    qsizetype first = -1, last = 0;
    bool operator==(const Found&) const = default;
};

Found scan(const QString& text, bool quick) {
    using Kind = TsqlToken::Kind;
    Found found;
    TsqlScanner scanner(text);
    TsqlScanner::Piece p;
    while (quick ? scanner.nextLiteral(p) : scanner.next(p)) {
        if (found.first < 0) found.first = p.begin;
        found.last = p.begin + p.length;
        if (quick || (p.kind != Kind::Word && p.kind != Kind::Symbol &&
                      p.kind != Kind::QuotedName && p.kind != Kind::Variable))
            found.literals.append({int(p.kind), p.begin, p.length, p.national});
    }
    if (quick)
        std::tie(found.first, found.last) = std::pair(scanner.firstBegin(), scanner.lastEnd());
    return found;
}
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

    // The quick pass of repeated statements finds the literals and outer tokens of the full scan.
    void literalsFoundAsByTheWholeScan() {
        QRandomGenerator random(20261206);
        for (int round = 0; round < 20000; ++round) {
            const QString text =
                round % 2 ? soup(random)
                          : mutated(random, QString::fromUtf8(Seeds[round / 2 % std::size(Seeds)]));
            QVERIFY2(scan(text, true) == scan(text, false), qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TsqlFuzzTest)
#include "tst_tsqlfuzz.moc"
