#include "OdbcDatabase.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "DbError.h"

namespace {
QAtomicInt connectionCounter;

DbError toDbError(const QSqlError& error) {
    // The ODBC driver puts the SQLSTATE at the head of its text ("[...] 42S02 ...") or in the
    // native code; SQL Server's own numbers (208, 2812, ...) arrive as the native code.
    static const QRegularExpression state(QStringLiteral("\\b([0-9A-Z]{2}[0-9A-Z]{3})\\b"));
    const QString text = error.text();
    const auto match = state.match(error.nativeErrorCode() + ' ' + text);
    const int native = error.nativeErrorCode().toInt();
    return DbError(OdbcDatabase::mapError(match.hasMatch() ? match.captured(1) : QString(), native),
                   text);
}
}  // namespace

OdbcDatabase::OdbcDatabase(const QString& connectionText)
    : m_name(QStringLiteral("zqpro-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    if (!db.isValid())
        throw DbError(DbErrorNumber::NoConnection, QStringLiteral("未安裝 ODBC 驅動程式"));
    db.setDatabaseName(odbcConnectString(connectionText));
    if (!db.open()) throw toDbError(db.lastError());
}

OdbcDatabase::~OdbcDatabase() {
    { QSqlDatabase::database(m_name, false).close(); }
    QSqlDatabase::removeDatabase(m_name);
}

QString OdbcDatabase::odbcConnectString(const QString& connectionText) {
    const auto f = [&](const char* name) { return Connections::field(connectionText, name); };
    QString text = QStringLiteral("DSN=%1").arg(f("Data Source"));
    if (!f("User ID").isEmpty()) text += QStringLiteral(";UID=%1;PWD=%2").arg(f("User ID"), f("Password"));
    if (!f("Initial Catalog").isEmpty()) text += QStringLiteral(";DATABASE=%1").arg(f("Initial Catalog"));
    return text;
}

std::uint32_t OdbcDatabase::mapError(const QString& sqlState, int nativeError) {
    switch (nativeError) {
        case 18456: return DbErrorNumber::LoginRefused;
        case 208: return DbErrorNumber::UnknownTable;
        case 2812:
        case 102:
        case 156: return DbErrorNumber::Syntax;
        default: break;
    }
    if (sqlState == QLatin1String("28000")) return DbErrorNumber::LoginRefused;
    if (sqlState == QLatin1String("42S02")) return DbErrorNumber::UnknownTable;
    if (sqlState.startsWith(QLatin1String("HYT"))) return DbErrorNumber::Timeout;
    if (sqlState == QLatin1String("42000") || sqlState == QLatin1String("37000"))
        return DbErrorNumber::Syntax;
    return DbErrorNumber::NoConnection;
}

ResultSets OdbcDatabase::execute(const QString& commandText) {
    if (commandText.trimmed().isEmpty())
        throw DbError(DbErrorNumber::EmptyCommand, QStringLiteral("命令文字沒有指定內容。"));
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    query.setForwardOnly(true);
    if (!query.exec(commandText)) throw toDbError(query.lastError());
    ResultSets sets;
    do {
        if (!query.isSelect()) continue;
        ResultSet set;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) set.columns << record.fieldName(i);
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < record.count(); ++i) {
                const QVariant v = query.value(i);
                row << (v.isNull() ? QVariant() : v);
            }
            set.rows << row;
        }
        sets << set;
    } while (query.nextResult());
    if (query.lastError().isValid()) throw toDbError(query.lastError());
    return sets;
}
