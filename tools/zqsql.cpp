// zqsql: a T-SQL shell for the configured database, in the manner of sqlcmd.
//   zqsql [--db FILE] [--json] [-Q TEXT]...
// Each command text (every -Q, or else all of standard input) runs exactly as the module
// would send it. Result sets print tab-separated with a header line and a blank line between
// sets, or with --json as one array of {"columns": [...], "rows": [[...], ...]}. Rows print as
// the database reads them, so a result of any size takes the memory of one row (on the
// embedded database; through ODBC as the driver fetches them).
//
// A database error prints "Msg 0x........: text" on standard error and ends with exit code 1.
// What was printed before it stays: the rows of earlier commands and those of the failing one
// read before the error (a statement that fails before its first row prints nothing of it,
// not even its header). The tab-separated output simply stops there; with --json the open set
// and the array are closed, so that standard output is still one JSON document.
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
#include <optional>

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

// Tab-separated: each set's header line and rows, a blank line between sets.
class PlainPrinter : public ResultSink {
public:
    explicit PlainPrinter(QTextStream& out) : m_out(out) {}
    void columns(const QStringList& names) override {
        if (m_sets++ > 0) m_out << '\n';
        m_out << names.join(u'\t') << '\n';
    }
    void row(const QVariantList& values) override {
        for (qsizetype i = 0; i < values.size(); ++i)
            m_out << (i > 0 ? "\t" : "") << plainValue(values[i]);
        m_out << '\n';
    }

private:
    QTextStream& m_out;
    int m_sets = 0;
};

// One JSON array of {"columns":[...],"rows":[[...],...]}, written as it comes in the form
// QJsonDocument gives the whole array (compact), each row serialized on its own.
class JsonPrinter : public ResultSink {
public:
    explicit JsonPrinter(QTextStream& out) : m_out(out) {}
    void columns(const QStringList& names) override {
        m_out << (m_sets++ > 0 ? "]}," : "[")
              << "{\"columns\":" << compact(QJsonArray::fromStringList(names)) << ",\"rows\":[";
        m_rows = 0;
    }
    void row(const QVariantList& values) override {
        QJsonArray cells;
        for (const QVariant& v : values) cells.append(jsonValue(v));
        m_out << (m_rows++ > 0 ? "," : "") << compact(cells);
    }
    // Closes what is open: the output is one JSON document, also after an error.
    void finish() { m_out << (m_sets > 0 ? "]}]" : "[]") << '\n'; }

private:
    static QString compact(const QJsonArray& array) {
        return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
    }
    QTextStream& m_out;
    int m_sets = 0;
    qsizetype m_rows = 0;
};

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

    PlainPrinter plain(out);
    JsonPrinter json(out);
    const bool asJson = parser.isSet(jsonOption);
    ResultSink& printer = asJson ? static_cast<ResultSink&>(json) : plain;
    std::optional<DbError> failure;
    try {
        std::shared_ptr<SuiteDatabase> db =
            parser.isSet(dbOption) ? std::make_shared<EmbeddedDatabase>(parser.value(dbOption))
                                   : configuredDatabase();
        for (const QString& command : commands) db->stream(command, printer);
    } catch (const DbError& e) {
        failure = e;
    }
    // The output is complete before the error line follows it.
    if (asJson) json.finish();
    out.flush();
    if (failure) err << "Msg " << failure->hexNumber() << ": " << failure->description() << '\n';
    Connections::closeAll();
    return failure ? 1 : 0;
}
