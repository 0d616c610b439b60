#include "SqlErrors.h"

#include <sqlite3.h>

#include <QRegularExpression>

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

DbError syntax(const QString& text) { return DbError(DbErrorNumber::Syntax, text); }

// SQLite names objects of the main file as "main.X".
QString bareName(QString name) {
    if (name.startsWith(QLatin1String("main."))) name.remove(0, 5);
    return name;
}
}  // namespace

DbError fromSqlite(int resultCode, const QString& message, const QString& sql,
                   const QString& path) {
    switch (resultCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DbError(DbErrorNumber::Timeout, QStringLiteral("查詢逾時已過期。"));
        case SQLITE_CANTOPEN:
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_IOERR:
        case SQLITE_FULL:
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_NOMEM:
            return DbError(DbErrorNumber::NoConnection,
                           QStringLiteral("無法存取資料庫檔案 '%1'：%2").arg(path, message));
        case SQLITE_CONSTRAINT: {
            constexpr std::uint32_t IntegrityViolation = 0x80040E2F;
            static const QRegularExpression unique(
                QStringLiteral("^UNIQUE constraint failed: (.*)$"));
            static const QRegularExpression notNull(
                QStringLiteral("^NOT NULL constraint failed: (.*)$"));
            if (const auto m = unique.match(message); m.hasMatch())
                return DbError(
                    IntegrityViolation,
                    QStringLiteral(
                        "違反 PRIMARY KEY 條件約束。無法在物件 '%1' 中插入重複的索引鍵。")
                        .arg(constraintTable(m.captured(1))));
            if (const auto m = notNull.match(message); m.hasMatch())
                return DbError(
                    IntegrityViolation,
                    QStringLiteral(
                        "無法插入 NULL 值到資料行 '%1'，資料表 '%2'；資料行不得有 Null。")
                        .arg(constraintColumn(m.captured(1)), constraintTable(m.captured(1))));
            return DbError(IntegrityViolation, message);
        }
        default:
            break;
    }

    struct Pattern {
        QRegularExpression expression;
        std::function<DbError(const QString&)> error;
    };
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
        {QRegularExpression(QStringLiteral("^ambiguous column name: (.*)$")),
         [](const QString& x) {
             return syntax(QStringLiteral("模稜兩可的資料行名稱 '%1'。").arg(x));
         }},
        {QRegularExpression(QStringLiteral("^(?:table|index|view) (\\S+) already exists$")),
         [](const QString& x) {
             return syntax(QStringLiteral("資料庫中已經有一個名為 '%1' 的物件。").arg(x));
         }},
    };
    for (const Pattern& p : patterns) {
        if (const auto m = p.expression.match(message); m.hasMatch()) return p.error(m.captured(1));
    }
    if (message == QLatin1String("incomplete input")) return syntaxNear(lastToken(sql));
    return syntax(message);
}
}  // namespace SqlErrors
