#include "OdbcDatabase.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "DbError.h"

namespace {
QAtomicInt connectionCounter;

DbError toDbError(const QSqlError& error, bool connecting) {
    // The driver manager's and the driver's messages come first, Qt's summary last.
    const QString message = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return DbError(OdbcDatabase::mapError(error.nativeErrorCode().toInt(), message, connecting),
                   message);
}

bool mentions(const QString& message, const char* words) {
    return message.contains(QLatin1String(words), Qt::CaseInsensitive);
}

// Qt's ODBC driver (6.4.2) joins "DSN=" + database name, ";UID=" + user and ";PWD=" + password
// into the ODBC connection string without quoting any of them, so they are handed to it
// already in the form the ODBC driver reads: in braces where a character would otherwise be
// read as syntax. Later Qt versions put quotes of their own around a value that holds a ';',
// which ODBC drivers do not read; there such a value is refused rather than sent in pieces.
constexpr bool QtQuotesLoginValues = QT_VERSION > QT_VERSION_CHECK(6, 4, 2);

QString odbcValue(const QString& value) {
    if (QtQuotesLoginValues && value.contains(u';'))
        throw DbError(
            DbErrorNumber::LoginRefused,
            QStringLiteral("登入名稱、密碼或資料來源名稱含有分號,無法傳給 ODBC 驅動程式"));
    return Connections::quote(value);
}

// Qt reads its connection options as "name=value" parts between ';' and simplifies each value:
// a catalogue that would not come through unchanged is refused.
QString catalogueOption(const QString& catalogue) {
    if (catalogue.contains(u';') || catalogue != catalogue.simplified())
        throw DbError(
            DbErrorNumber::LoginRefused,
            QStringLiteral("資料庫名稱「%1」含有無法傳給 ODBC 驅動程式的字元").arg(catalogue));
    return QStringLiteral(";SQL_ATTR_CURRENT_CATALOG=") + catalogue;
}
}  // namespace

OdbcDatabase::OdbcDatabase(const QString& connectionText)
    : m_name(QStringLiteral("zqpro-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {
    // The data source is named, not described, so that the driver manager finds it in
    // odbc.ini; the catalogue is set as a connection attribute.
    const Login l = login(connectionText);
    const QString dataSource = odbcValue(l.dataSource);
    const QString user = odbcValue(l.user);
    const QString password = odbcValue(l.password);
    // A connection text may set how long to wait for the server (a sister company's does).
    const int seconds =
        Connections::field(connectionText, QStringLiteral("Connect Timeout")).trimmed().toInt();
    QString options = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(seconds > 0 ? seconds : 15);
    if (!l.catalogue.isEmpty()) options += catalogueOption(l.catalogue);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(DbErrorNumber::NoConnection, QStringLiteral("未安裝 ODBC 驅動程式"));
    }
    db.setDatabaseName(dataSource);
    db.setUserName(user);
    db.setPassword(password);
    db.setConnectOptions(options);
    if (!db.open()) {
        const DbError error = toDbError(db.lastError(), true);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw error;
    }
}

OdbcDatabase::~OdbcDatabase() {
    { QSqlDatabase::database(m_name, false).close(); }
    QSqlDatabase::removeDatabase(m_name);
}

OdbcDatabase::Login OdbcDatabase::login(const QString& connectionText) {
    const auto f = [&](const char* name) {
        return Connections::field(connectionText, QLatin1String(name)).trimmed();
    };
    return {f("Data Source"), f("User ID"), Connections::field(connectionText, "Password"),
            f("Initial Catalog")};
}

std::uint32_t OdbcDatabase::mapError(int nativeError, const QString& message, bool connecting) {
    // SQL Server's own numbers first, then the wording of drivers that report every failure
    // under one number (SQLite's driver: 1).
    switch (nativeError) {
        case 18456:  // login failed
        case 18452:  // untrusted domain login
        case 4060:   // cannot open the catalogue of the login
            return DbErrorNumber::LoginRefused;
        case 208:  // invalid object name
            return DbErrorNumber::UnknownTable;
        case -2:  // time-out expired
            return DbErrorNumber::Timeout;
        case 102:   // incorrect syntax near
        case 105:   // unclosed quotation mark
        case 156:   // incorrect syntax near the keyword
        case 207:   // invalid column name
        case 2812:  // could not find stored procedure
            return DbErrorNumber::Syntax;
        default:
            break;
    }
    if (mentions(message, "login failed")) return DbErrorNumber::LoginRefused;
    if (connecting) return DbErrorNumber::NoConnection;
    if (mentions(message, "timeout expired")) return DbErrorNumber::Timeout;
    if (mentions(message, "no such table") || mentions(message, "invalid object name"))
        return DbErrorNumber::UnknownTable;
    if (mentions(message, "communication link failure")) return DbErrorNumber::NoConnection;
    // Any other refused command is, for the provider, an error in the command.
    return DbErrorNumber::Syntax;
}

ResultSets OdbcDatabase::execute(const QString& commandText) {
    ResultCollector all;
    stream(commandText, all);
    return all.sets;
}

void OdbcDatabase::stream(const QString& commandText, ResultSink& sink) {
    if (commandText.trimmed().isEmpty())
        throw DbError(DbErrorNumber::EmptyCommand, QStringLiteral("命令文字沒有指定內容。"));
    QSqlQuery query(QSqlDatabase::database(m_name, false));
    query.setForwardOnly(true);
    if (!query.exec(commandText)) throw toDbError(query.lastError(), false);
    do {
        if (!query.isSelect()) continue;
        const QSqlRecord record = query.record();
        QStringList columns;
        for (int i = 0; i < record.count(); ++i) columns << record.fieldName(i);
        sink.columns(columns);
        QVariantList row;
        while (query.next()) {
            row.clear();
            for (int i = 0; i < record.count(); ++i) {
                const QVariant v = query.value(i);
                row << (v.isNull() ? QVariant() : v);
            }
            sink.row(row);
        }
    } while (query.nextResult());
    if (query.lastError().isValid()) throw toDbError(query.lastError(), false);
}
