// The ODBC backend through unixODBC and the SQLite ODBC driver: a data source "zqpro" of
// its own (odbcinst.ini and odbc.ini in a temporary folder) over a temporary SQLite file,
// plain SQL through OdbcDatabase, and the provider's error numbers for the driver's and
// SQL Server's failures. A second data source, "recorder", has a driver that writes down the
// connection string it was given: the login must reach the driver whole whatever it holds.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "DbAccess.h"
#include "DbError.h"
#include "OdbcDatabase.h"
#include "Session.h"

namespace {
const char* const DriverFiles[] = {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
                                   "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
                                   "/usr/lib/odbc/libsqlite3odbc.so"};

QString connectionText(const QString& catalogue, const QString& source = QStringLiteral("zqpro")) {
    return QStringLiteral(
               "Provider=MSDASQL.1;Password=;Persist Security Info=False;User ID=;"
               "Data Source=%1;Initial Catalog=%2")
        .arg(source, catalogue);
}

quint32 errorNumber(const std::function<void()>& work) {
    try {
        work();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

void write(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write(text.toUtf8());
}

// The module's own connection text for a login, aimed at another data source.
QString connectionTextFor(const QString& user, const QString& password, const QString& catalogue,
                          const QString& source) {
    Session& s = Session::current();
    s.dbUser = user;
    s.dbPassword = password;
    s.dbName = catalogue;
    s.persistSecurity = QStringLiteral("True");
    return ConnectionText().replace(QStringLiteral("Data Source=zqpro;"),
                                    "Data Source=" + source + ';');
}
}  // namespace

class OdbcDatabaseTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_database;
    QString m_recording;
    std::unique_ptr<OdbcDatabase> m_db;

    // What the recording driver was given by one attempt to connect (which it refuses).
    QString recordedConnection(const QString& connectionText, quint32* error) {
        QFile::remove(m_recording);
        *error = errorNumber([&] { OdbcDatabase db(connectionText); });
        QFile file(m_recording);
        if (!file.open(QIODevice::ReadOnly)) return QString();
        return QString::fromUtf8(file.readAll()).chopped(1);
    }

private slots:
    void initTestCase() {
        QString driver;
        for (const char* file : DriverFiles)
            if (QFile::exists(QLatin1String(file))) driver = QLatin1String(file);
        if (driver.isEmpty()) QSKIP("the SQLite ODBC driver (libsqliteodbc) is not installed");
        write(m_dir.filePath(QStringLiteral("odbcinst.ini")),
              QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1\n\n"
                             "[Recorder]\nDriver=%2\n")
                  .arg(driver, QStringLiteral(RECORDING_ODBC_DRIVER)));
        m_database = m_dir.filePath(QStringLiteral("zqpro.db"));
        write(m_dir.filePath(QStringLiteral("odbc.ini")),
              QStringLiteral("[zqpro]\nDriver=SQLite3\nDatabase=%1\nTimeout=2000\n\n[broken]\n"
                             "Driver=SQLite3\nDatabase=%2\n\n[recorder]\nDriver=Recorder\n")
                  .arg(m_database, m_dir.filePath(QStringLiteral("no/such/folder/x.db"))));
        qputenv("ODBCSYSINI", m_dir.path().toLocal8Bit());
        qputenv("ODBCINI", m_dir.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
        m_recording = m_dir.filePath(QStringLiteral("recording.txt"));
        qputenv("ZQFU_ODBC_RECORDING", m_recording.toLocal8Bit());

        m_db = std::make_unique<OdbcDatabase>(connectionText(QStringLiteral("ZQDEMO")));
        m_db->execute(
            QStringLiteral("CREATE TABLE Acco (ACODE TEXT PRIMARY KEY, ANOTE TEXT, "
                           "ALEVEL INTEGER, ARATE REAL)"));
        m_db->execute(
            QStringLiteral("INSERT INTO Acco VALUES ('1441', '機器設備', 1, 0.5), "
                           "('1442', '累計折舊-機器設備', NULL, NULL), ('6125', "
                           "'折舊費用', 2, 1.25)"));
    }
    void cleanupTestCase() { m_db.reset(); }

    // The connection string that reaches the ODBC driver through Qt and the driver manager:
    // a value that holds ODBC syntax is in braces with each '}' doubled, so that the password
    // can neither end early nor name another data source; plain values are sent as they are.
    // Qt reads its connection options split at ';': a catalogue holding one would set options
    // of its own, so it is refused before anything is sent.
    void driverGetsTheLoginWhole_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("received");  // empty: refused, nothing sent
        const char* const rows[][5] = {
            {"plain", "sa", "pw", "ZQ2K", "DSN=recorder;UID=sa;PWD=pw"},
            {"no login", "", "", "", "DSN=recorder"},
            {"closing brace", "sa", "a};DSN=zqpro", "", "DSN=recorder;UID=sa;PWD={a}};DSN=zqpro}"},
            {"blanks around", "sa", " pw ", "", "DSN=recorder;UID=sa;PWD={ pw }"},
            {"user name", "sa;PWD=x", "pw", "", "DSN=recorder;UID={sa;PWD=x};PWD=pw"},
            {"catalogue Qt would split", "sa", "pw", "ZQ2K;SQL_ATTR_TRACE=1", ""},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2])
                                << QString::fromUtf8(r[3]) << QString::fromUtf8(r[4]);
    }
    void driverGetsTheLoginWhole() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, catalogue);
        QFETCH(QString, received);
        quint32 error = 0;
        const QString sent = recordedConnection(
            connectionTextFor(user, password, catalogue, QStringLiteral("recorder")), &error);
        if (QT_VERSION > QT_VERSION_CHECK(6, 4, 2) && (user + password).contains(u';'))
            received.clear();  // a Qt that puts quotes of its own around such a value
        QCOMPARE(sent, received);
        // The recorder refuses every connection it is given.
        QCOMPARE(error, quint32(received.isEmpty() ? 0x80040E4D : 0x80004005));
    }

    // Rows, columns and values of a select, the columns of an empty one, and no result set
    // for a statement without rows.
    void selectsAndStatements() {
        const ResultSets sets =
            m_db->execute(QStringLiteral("SELECT ACODE, ANOTE, ALEVEL, ARATE FROM Acco ORDER BY "
                                         "ACODE"));
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].columns, QStringList({"ACODE", "ANOTE", "ALEVEL", "ARATE"}));
        QCOMPARE(sets[0].rows.size(), 3);
        QCOMPARE(sets[0].rows[0][1].toString(), QStringLiteral("機器設備"));
        QCOMPARE(sets[0].rows[2][2].toInt(), 2);
        QCOMPARE(sets[0].rows[2][3].toDouble(), 1.25);
        // NULL stays NULL, not 0 or an empty text.
        QVERIFY(sets[0].rows[1][2].isNull() && sets[0].rows[1][3].isNull());

        const ResultSets none =
            m_db->execute(QStringLiteral("SELECT ACODE, ANOTE FROM Acco WHERE ACODE = 'X'"));
        QCOMPARE(none.size(), 1);
        QCOMPARE(none[0].columns, QStringList({"ACODE", "ANOTE"}));
        QVERIFY(none[0].rows.isEmpty());
        QCOMPARE(m_db->execute(QStringLiteral("UPDATE Acco SET ALEVEL = ALEVEL")).size(), 0);
    }

    // The provider's numbers for a refused statement, and the connection still usable after.
    void failures_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<quint32>("number");
        QTest::newRow("unknown table") << "SELECT * FROM NOPE" << quint32(0x80040E37);
        QTest::newRow("syntax") << "SELECT * FROM Acco WHERE" << quint32(0x80040E14);
        QTest::newRow("empty command") << "  " << quint32(0x80040E0C);
    }
    void failures() {
        QFETCH(QString, sql);
        QFETCH(quint32, number);
        QCOMPARE(errorNumber([&] { m_db->execute(sql); }), number);
        QCOMPARE(m_db->execute(QStringLiteral("SELECT COUNT(*) FROM Acco"))[0].rows[0][0].toInt(),
                 3);
    }

    // A source that cannot be reached, and SQL Server's native errors: the provider's numbers
    // that pick the error report's meaning, one of each kind.
    void connectionAndServerErrors() {
        for (const char* source : {"nosuchdsn", "broken"})
            QCOMPARE(errorNumber([&] { OdbcDatabase(connectionText(QString(), source)); }),
                     quint32(0x80004005));
        const struct {
            int native;
            const char* message;
            bool connecting;
            quint32 number;
        } rows[] = {
            {18456, "[SQL Server]Login failed for user 'sa'.", true, 0x80040E4D},
            {53, "[ODBC Driver 18]TCP Provider: timeout error", true, 0x80004005},
            {208, "Invalid object name 'NOPE'.", false, 0x80040E37},
            {0, "[ODBC Driver 18]Query timeout expired", false, 0x80040E31},
        };
        for (const auto& r : rows)
            QVERIFY2(OdbcDatabase::mapError(r.native, r.message, r.connecting) == r.number,
                     r.message);
    }
};

QTEST_GUILESS_MAIN(OdbcDatabaseTest)
#include "tst_odbcdatabase.moc"
