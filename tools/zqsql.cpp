// zqsql: a T-SQL shell for the configured database, in the manner of sqlcmd.
//   zqsql [--db FILE] [--json] [-Q TEXT]...
// Each command text (every -Q, or else all of standard input) runs exactly as the module
// would send it. Result sets print tab-separated with a header line and a blank line between
// sets, or with --json as one array of {"columns": [...], "rows": [[...], ...]}. A database
// error prints "Msg 0x........: text" on standard error and ends with exit code 1.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <cstdio>

#include "Backends.h"
#include "DbAccess.h"
#include "DbError.h"
#include "EmbeddedDatabase.h"
#include "LocalSettings.h"
#include "Session.h"

namespace {
QString plainValue(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("NULL");
    switch (v.typeId()) {
        case QMetaType::QDateTime:
            return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        case QMetaType::Double:
            return QString::number(v.toDouble(), 'g', 15);
        case QMetaType::QByteArray:
            return QStringLiteral("0x") + QString::fromLatin1(v.toByteArray().toHex().toUpper());
        default:
            return v.toString();
    }
}

QJsonValue jsonValue(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QJsonValue::Null;
    switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
            return QJsonValue(v.toLongLong());
        case QMetaType::Double:
            return QJsonValue(v.toDouble());
        case QMetaType::Bool:
            return QJsonValue(v.toBool());
        default:
            return QJsonValue(plainValue(v));
    }
}

void printPlain(QTextStream& out, const ResultSets& sets, bool& first) {
    for (const ResultSet& set : sets) {
        if (!first) out << '\n';
        first = false;
        out << set.columns.join(u'\t') << '\n';
        for (const QVariantList& row : set.rows) {
            QStringList cells;
            for (const QVariant& v : row) cells.append(plainValue(v));
            out << cells.join(u'\t') << '\n';
        }
    }
}

void appendJson(QJsonArray& array, const ResultSets& sets) {
    for (const ResultSet& set : sets) {
        QJsonArray rows;
        for (const QVariantList& row : set.rows) {
            QJsonArray cells;
            for (const QVariant& v : row) cells.append(jsonValue(v));
            rows.append(cells);
        }
        array.append(
            QJsonObject{{QStringLiteral("columns"), QJsonArray::fromStringList(set.columns)},
                        {QStringLiteral("rows"), rows}});
    }
}

// The database of the settings file beside the program, as the module connects to it.
std::shared_ptr<SuiteDatabase> configuredDatabase() {
    const QString folder = QCoreApplication::applicationDirPath();
    const QString path = QDir(folder).filePath(QLatin1String(LocalSettings::FileName));
    const std::optional<LocalSettings> settings = LocalSettings::read(path);
    if (!settings)
        throw DbError(DbErrorNumber::NoConnection,
                      QStringLiteral("找不到設定檔 %1,請先執行 zqfu-setup").arg(path));
    Session& session = Session::current();
    session.serverAddress = settings->sadd;
    session.dbUser = settings->unam;
    session.dbPassword = settings->upas;
    session.dbName = settings->dnam;
    session.persistSecurity =
        settings->unam.isEmpty() ? QStringLiteral("False") : QStringLiteral("True");
    Connections::setFactory(MakeConnectionFactory(folder, *settings));
    return Connections::open(ConnectionText());
}
}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zqsql"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs T-SQL command texts on the suite database."));
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"),
                                      QStringLiteral("Embedded database file to use."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print the result sets as JSON."));
    const QCommandLineOption queryOption(QStringLiteral("Q"),
                                         QStringLiteral("Command text to run (repeatable)."),
                                         QStringLiteral("TEXT"));
    parser.addOption(dbOption);
    parser.addOption(jsonOption);
    parser.addOption(queryOption);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList commands = parser.values(queryOption);
    if (commands.isEmpty()) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            err << "zqsql: cannot read standard input\n";
            return 2;
        }
        commands.append(QString::fromUtf8(input.readAll()));
    }

    QJsonArray json;
    bool first = true;
    int code = 0;
    try {
        std::shared_ptr<SuiteDatabase> db =
            parser.isSet(dbOption) ? std::make_shared<EmbeddedDatabase>(parser.value(dbOption))
                                   : configuredDatabase();
        for (const QString& command : commands) {
            const ResultSets sets = db->execute(command);
            if (parser.isSet(jsonOption))
                appendJson(json, sets);
            else
                printPlain(out, sets, first);
        }
    } catch (const DbError& e) {
        out.flush();
        err << "Msg " << e.hexNumber() << ": " << e.description() << '\n';
        code = 1;
    }
    if (parser.isSet(jsonOption)) out << QJsonDocument(json).toJson(QJsonDocument::Compact) << '\n';
    Connections::closeAll();
    return code;
}
