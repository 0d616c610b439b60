#include "SqlErrors.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <functional>

#include "TsqlLexer.h"

namespace SqlErrors {
DbError syntaxNear(const QString& token) {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("接近 '%1' 之處的語法不正確。").arg(token));
}

DbError unclosedQuote(const QString& rest) {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("在字元字串 '%1' 之後有未封閉的引號。").arg(rest));
}

DbError unknownProcedure(const QString& name) {
    return DbError(DbErrorNumber::Syntax, QStringLiteral("找不到預存程序 '%1'。").arg(name));
}

DbError unknownTable(const QString& name) {
    return DbError(DbErrorNumber::UnknownTable, QStringLiteral("無效的物件名稱 '%1'。").arg(name));
}

DbError emptyCommand() {
    return DbError(DbErrorNumber::EmptyCommand, QStringLiteral("命令物件尚未設定命令文字。"));
}

DbError nestedTooDeeply() {
    return DbError(
        DbErrorNumber::Syntax,
        QStringLiteral("SQL 陳述式的某個部分巢狀太深。請重寫查詢或將它分解成較小的查詢。"));
}

DbError tooComplex() {
    return DbError(
        DbErrorNumber::Syntax,
        QStringLiteral("查詢處理器已用盡內部資源，因此無法產生查詢計劃。這是很少發生的事件，"
                       "只有極度複雜的查詢或參考極大量資料表或資料分割的查詢才會發生。"
                       "請簡化查詢。如果您認為收到此訊息是錯誤的，請連絡客戶支援服務以取得"
                       "詳細資訊。"));
}

DbError bigintOverflow() {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("將 expression 轉換為資料類型 bigint 時發生算術溢位錯誤。"));
}

DbError stackLimit() {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("內部錯誤: 已達到伺服器堆疊限制。請在查詢中尋找可能過深的巢狀結構，"
                                  "並嘗試簡化查詢。"));
}

DbError floatOverflow() {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("將 expression 轉換為資料類型 float 時發生算術溢位錯誤。"));
}

DbError conversion(const QString& from, const QString& to) {
    return DbError(DbErrorNumber::Syntax,
                   QStringLiteral("將資料類型 %1 轉換成 %2 時發生錯誤。").arg(from, to));
}

// The server reads a literal with an exponent as a float of eight bytes and any other as a
// decimal of at most 38 digits, leading zeros not counted.
void checkNumber(QStringView literal) {
    if (literal.size() >= 2 && literal[0] == u'0' && (literal[1] == u'x' || literal[1] == u'X'))
        return;
    const bool exponent =
        std::any_of(literal.begin(), literal.end(), [](QChar c) { return c == u'e' || c == u'E'; });
    if (exponent) {
        if (std::isfinite(literal.toDouble())) return;
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("浮點數值 '%1' 超出了電腦表示範圍 (8 個位元組)。")
                          .arg(literal.toString()));
    }
    if (literal.size() <= 38) return;  // too short to hold too many digits
    qsizetype digits = 0;
    bool leading = true;
    for (const QChar c : literal) {
        if (c == u'.') leading = false;
        if (c.isDigit() && !(leading && c == u'0')) {
            leading = false;
            ++digits;
        }
    }
    if (digits > 38)
        throw DbError(DbErrorNumber::Syntax,
                      QStringLiteral("數字 '%1' 超出了數值表示範圍 (最大有效位數 38)。")
                          .arg(literal.toString()));
}

namespace {
// A constraint failure names its columns as "TABLE.COLUMN, TABLE.COLUMN".
QString constraintTable(const QString& columns) { return columns.section(u'.', 0, 0).trimmed(); }

QString constraintColumn(const QString& columns) {
    return columns.section(u',', 0, 0).section(u'.', 1).trimmed();
}

QString lastToken(const QString& sql) {
    const TsqlTokens tokens = TsqlLexer::tokenize(sql);
    return tokens.isEmpty() ? QString() : tokens.last().text;
}

// INSERT, UPDATE or DELETE: the statement a constraint stopped.
QString statementWord(const QString& sql) {
    const TsqlTokens tokens = TsqlLexer::tokenize(sql.left(64));
    return tokens.isEmpty() ? QString() : tokens.first().text.toUpper();
}

DbError syntax(const QString& text) { return DbError(DbErrorNumber::Syntax, text); }

// SQLite names objects of the main file as "main.X".
QString bareName(QString name) {
    if (name.startsWith(QLatin1String("main."))) name.remove(0, 5);
    return name;
}

// What keeps SQLite from the database file, in the words Windows uses for it.
QString fileProblem(int resultCode) {
    switch (resultCode & 0xff) {
        case SQLITE_NOTADB:
            return QStringLiteral("檔案不是資料庫。");
        case SQLITE_CORRUPT:
            return QStringLiteral("資料庫檔案已損毀。");
        case SQLITE_IOERR:
            return QStringLiteral("讀寫檔案時發生錯誤。");
        case SQLITE_FULL:
            return QStringLiteral("磁碟空間不足。");
        case SQLITE_READONLY:
            return QStringLiteral("檔案是唯讀的。");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral("存取被拒。");
        default:
            return QStringLiteral("無法開啟檔案。");
    }
}

// A message of our own making (the front end's functions, a trigger's RAISE), in the server's
// words already: SQLite's own are English.
bool ownWords(const QString& message) {
    return std::any_of(message.begin(), message.end(), [](QChar c) { return c.unicode() >= 0x80; });
}

DbError constraint(const QString& message, const QString& sql) {
    constexpr std::uint32_t IntegrityViolation = 0x80040E2F;
    static const QRegularExpression unique(QStringLiteral("^UNIQUE constraint failed: (.*)$"));
    static const QRegularExpression notNull(QStringLiteral("^NOT NULL constraint failed: (.*)$"));
    static const QRegularExpression check(QStringLiteral("^CHECK constraint failed: (.*)$"));
    if (const auto m = unique.match(message); m.hasMatch())
        return DbError(
            IntegrityViolation,
            QStringLiteral("違反 PRIMARY KEY 條件約束。無法在物件 '%1' 中插入重複的索引鍵。")
                .arg(constraintTable(m.captured(1))));
    if (const auto m = notNull.match(message); m.hasMatch())
        return DbError(
            IntegrityViolation,
            QStringLiteral("無法插入 NULL 值到資料行 '%1'，資料表 '%2'；資料行不得有 Null。")
                .arg(constraintColumn(m.captured(1)), constraintTable(m.captured(1))));
    if (ownWords(message)) return DbError(IntegrityViolation, message);
    const QString kind = message.startsWith(QLatin1String("FOREIGN KEY"))
                             ? QStringLiteral("FOREIGN KEY")
                             : QStringLiteral("CHECK");
    const QString name = check.match(message).captured(1);
    return DbError(
        IntegrityViolation,
        QStringLiteral("%1 陳述式與 %2 條件約束%3衝突。陳述式已經結束。")
            .arg(statementWord(sql), kind,
                 name.isEmpty() ? QStringLiteral(" ") : QStringLiteral(" \"%1\" ").arg(name)));
}

// SQLite's messages for statements, each as the server words the same refusal.
DbError statementError(const QString& message, const QString& sql) {
    struct Pattern {
        QRegularExpression expression;
        std::function<DbError(const QString&)> error;
    };
    const auto fixed = [](DbError (*make)()) { return [make](const QString&) { return make(); }; };
    static const QList<Pattern> patterns = {
        {QRegularExpression(QStringLiteral("^no such table: (.*)$")),
         [](const QString& x) { return unknownTable(bareName(x)); }},
        {QRegularExpression(QStringLiteral("^no such column: (.*)$")),
         [](const QString& x) { return syntax(QStringLiteral("無效的資料行名稱 '%1'。").arg(x)); }},
        {QRegularExpression(QStringLiteral("^table \\S+ has no column named (.*)$")),
         [](const QString& x) { return syntax(QStringLiteral("無效的資料行名稱 '%1'。").arg(x)); }},
        {QRegularExpression(QStringLiteral("^near \"(.*)\": syntax error$")),
         [](const QString& x) { return syntaxNear(x); }},
        {QRegularExpression(QStringLiteral("^unrecognized token: \"(.*)\"$")),
         [](const QString& x) { return syntaxNear(x); }},
        {QRegularExpression(QStringLiteral("^no such function: (.*)$")),
         [](const QString& x) {
             return syntax(QStringLiteral("'%1' 不是可辨認的內建函數名稱。").arg(x));
         }},
        {QRegularExpression(QStringLiteral("^wrong number of arguments to function (\\w+)\\(\\)$")),
         [](const QString& x) {
             return syntax(QStringLiteral("%1 函數的引數數目不正確。").arg(x.toUpper()));
         }},
        {QRegularExpression(QStringLiteral("^ambiguous column name: (.*)$")),
         [](const QString& x) {
             return syntax(QStringLiteral("模稜兩可的資料行名稱 '%1'。").arg(x));
         }},
        {QRegularExpression(QStringLiteral(
             "^(?:(?:table|index|view|trigger) (\\S+) already exists|there is already "
             "another table or index with this name: (\\S+))$")),
         [](const QString& x) {
             return syntax(QStringLiteral("資料庫中已經有一個名為 '%1' 的物件。").arg(x));
         }},
        {QRegularExpression(QStringLiteral("^no such (?:index|view|trigger): (.*)$")),
         [](const QString& x) {
             return syntax(
                 QStringLiteral("無法卸除 '%1'，因為它不存在或是您沒有權限。").arg(bareName(x)));
         }},
        {QRegularExpression(QStringLiteral("^duplicate column name: (.*)$")),
         [](const QString& x) {
             return syntax(QStringLiteral("每一個資料表中的資料行名稱必須是唯一的。資料行名稱 '%1' "
                                          "已指定一次以上。")
                               .arg(x));
         }},
        {QRegularExpression(QStringLiteral("^sub-select returns")),
         [](const QString&) {
             return syntax(
                 QStringLiteral("當子查詢不是以 EXISTS 引入時，選取清單中只能指定一個運算式。"));
         }},
        {QRegularExpression(QStringLiteral("^misuse of aggregate")),
         [](const QString&) {
             return syntax(QStringLiteral(
                 "彙總不能出現在 WHERE 子句中，除非它是在 HAVING 子句或選取清單所包含的子查詢中，"
                 "而且正在彙總的資料行是外部參考。"));
         }},
        {QRegularExpression(QStringLiteral("^aggregate functions are not allowed in the GROUP BY")),
         [](const QString&) {
             return syntax(QStringLiteral(
                 "在用於 GROUP BY 子句群組依據清單的運算式中，不能使用彙總或子查詢。"));
         }},
        {QRegularExpression(QStringLiteral("^integer overflow$")), fixed(bigintOverflow)},
        {QRegularExpression(QStringLiteral("^datatype mismatch$")),
         [](const QString&) {
             return conversion(QStringLiteral("varchar"), QStringLiteral("int"));
         }},
        // SQLite's limits: its parser's stack and the depth of its expression trees, then
        // the sizes of a statement.
        {QRegularExpression(
             QStringLiteral("^(?:parser stack overflow|Expression tree is too large)")),
         fixed(nestedTooDeeply)},
        {QRegularExpression(QStringLiteral(
             "^(?:too many SQL variables|variable number must be between|too many terms in|too "
             "many columns|too many FROM clause terms|at most \\d+ tables in a join|too many "
             "arguments on function|string or blob too big)")),
         fixed(tooComplex)},
    };
    for (const Pattern& p : patterns) {
        if (const auto m = p.expression.match(message); m.hasMatch())
            return p.error(m.captured(m.lastCapturedIndex()));
    }
    if (message == QLatin1String("incomplete input")) return syntaxNear(lastToken(sql));
    return syntax(ownWords(message) ? message : QStringLiteral("未指定的錯誤"));
}
}  // namespace

DbError fromSqlite(int resultCode, const QString& message, const QString& sql,
                   const QString& path) {
    switch (resultCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_INTERRUPT:
            return DbError(DbErrorNumber::Timeout, QStringLiteral("查詢逾時已過期。"));
        case SQLITE_NOMEM:
            return DbError(
                DbErrorNumber::NoConnection,
                QStringLiteral("資源集區 'default' 中的系統記憶體不足，無法執行此查詢。"));
        case SQLITE_TOOBIG:
            return tooComplex();
        case SQLITE_CANTOPEN:
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_IOERR:
        case SQLITE_FULL:
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return DbError(
                DbErrorNumber::NoConnection,
                QStringLiteral("無法存取資料庫檔案 '%1'：%2").arg(path, fileProblem(resultCode)));
        case SQLITE_CONSTRAINT:
            return constraint(message, sql);
        default:
            return statementError(message, sql);
    }
}
}  // namespace SqlErrors
