// The session's procedures on the demo database, setup idempotence, and the backend chooser.
#include <QDir>
#include <QtTest>

#include "Backends.h"
#include "Clock.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "LocalSettings.h"

namespace {
// Right n: bit n % 32 of mask n / 32 (from position 14), bit 31 being the sign.
bool hasRight(const QVariantList& row, int n) {
    const qlonglong mask = row.value(14 + n / 32).toLongLong();
    return n % 32 == 31 ? mask < 0 : (mask & (qlonglong(1) << (n % 32))) != 0;
}

QVariant firstValue(SuiteDatabase& db, const QString& text) {
    return db.execute(text).value(0).rows.value(0).value(0);
}
}  // namespace

class SessionProceduresTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

    // The start-up row: one set of one row of 55 columns, else empty.
    ResultSet sale(const QString& workstation, const QString& user) {
        const ResultSets sets =
            m_db->execute(QString("SF_ZQ2K_SALE '%1','%2',1").arg(workstation, user));
        if (sets.size() != 1 || sets[0].rows.size() != 1 || sets[0].columns.size() != 55 ||
            sets[0].rows[0].size() != 55)
            return {};
        return sets[0];
    }
    static QList<qlonglong> masks(const QVariantList& row) {
        QList<qlonglong> out;
        for (int c = 0; c < 41; ++c) out << row.value(14 + c).toLongLong();
        return out;
    }

private slots:
    void init() { m_db = std::make_unique<EmbeddedDatabase>(m_folder.database()); }
    void cleanup() {
        m_db.reset();
        Clock::setFixed(QDateTime());
    }

    // The start-up row with its rights or refusal; the time stored for the workstation.
    void saleRightsAndTime() {
        // Session values before 41 masks: all rights for ADM, just the given ones for others.
        const ResultSet set = sale("0016", "Adm ");
        const QVariantList adm = set.rows.value(0);
        QStringList values;
        for (const char* column : {"COMNAM", "LCODE", "SCODE", "DEPARTNO"})
            values << adm.value(set.columns.mid(0, 14).indexOf(column), "?").toString();
        QCOMPARE(adm.mid(0, 2), (QVariantList{0, QString()}));
        QCOMPARE(values.join(u'|'), "晟嘉通科技股份有限公司|0016|S001|05");
        QCOMPARE(masks(adm), QList<qlonglong>(41, -1));
        const QVariantList lee = sale("0016", "LEE").rows.value(0);
        int held = 0;
        for (int n = 0; n < 1312; ++n) held += hasRight(lee, n);
        QVERIFY(held == 1 && hasRight(lee, 960));
        const QVariantList wang = sale("0003", "WANG").rows.value(0);
        QCOMPARE(wang.value(14 + 10).toLongLong(), qlonglong(INT32_MIN));
        for (int n : {351, 355, 362, 363, 371, 372, 960, 961, 962}) QVERIFY(hasRight(wang, n));
        QVERIFY(!hasRight(wang, 350) && !hasRight(wang, 352));
        // Refused with status 1, a message naming the wrong part (workstation first), no right.
        for (const auto& [workstation, user, mentions] :
             {std::tuple("0016", "XYZ", "XYZ"), std::tuple("9999", "XYZ", "9999"),
              std::tuple("0016", "", "使用者"), std::tuple("", "ADM", "工作站")}) {
            const QVariantList row = sale(workstation, user).rows.value(0);
            QCOMPARE(row.value(0).toLongLong(), 1);
            QVERIFY2(row.value(1).toString().contains(QString::fromUtf8(mentions)),
                     qPrintable(row.value(1).toString()));
            QCOMPARE(masks(row), QList<qlonglong>(41, 0));
        }
        // The time as a date-time, stored for the workstation; an unknown one still gets it.
        const QDateTime moment(QDate(2024, 3, 15), QTime(9, 30, 5, 250));
        Clock::setFixed(moment);
        const ResultSets sets = m_db->execute("EXEC SP_TIME_UPDATE '0016'");
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].columns, QStringList({"DTIME"}));
        QCOMPARE(sets[0].rows.value(0).value(0), QVariant(moment));
        QCOMPARE(firstValue(*m_db, "Select LTIME From LSTA Where LCODE = '0016'").toDateTime(),
                 moment);
        QCOMPARE(firstValue(*m_db, "SP_TIME_UPDATE '7777'").toDateTime(), moment);
    }

    // Setup is idempotent; the connection string opens the catalogue's file only.
    void setupAndConnection() {
        // Setup writes once, refills a table emptied by hand, leaves server settings alone.
        QTemporaryDir dir, server;
        const SuiteSetup::Result first = SuiteSetup::run(dir.path());
        QVERIFY(first.settingsWritten && first.databaseCreated && first.demoRowsAdded > 0);
        const auto settings = LocalSettings::read(dir.filePath("ZqSrvUse.dat"));
        QVERIFY(settings && settings->sadd == "embedded" && settings->dnam == "ZQDEMO" &&
                settings->unam.isEmpty() && settings->upas.isEmpty());
        const SuiteSetup::Result second = SuiteSetup::run(dir.path());
        QVERIFY(!second.changed() && !second.lines.isEmpty());
        EmbeddedDatabase(dir.filePath("ZQDEMO.zqdb"))
            .execute("Delete From F8DATA; Update SALE Set SNAME = 'x' Where SUSER = 'LEE'");
        QCOMPARE(SuiteSetup::run(dir.path()).demoRowsAdded, 8);
        EmbeddedDatabase again(dir.filePath("ZQDEMO.zqdb"));
        QCOMPARE(firstValue(again, "Select SNAME From SALE Where SUSER = 'LEE'"), QVariant("x"));
        const QString path = server.filePath("ZqSrvUse.dat");
        QVERIFY(LocalSettings::write(path, {"10.0.0.5", "sa", "pw", "ZQ2K"}));
        QVERIFY(!SuiteSetup::run(server.path()).changed());
        QCOMPARE(LocalSettings::read(path)->sadd, QString("10.0.0.5"));
        QCOMPARE(QDir(server.path()).entryList({"*.zqdb"}), QStringList());
        // The connection string opens the catalogue's file beside the settings, nothing else.
        const auto factory = MakeConnectionFactory(m_folder.path(), {"", "", "", "ZQDEMO"});
        const auto db = factory(
            "Provider=MSDASQL.1;Password=;Persist Security Info=False;User "
            "ID=;Data Source=zqpro;Initial Catalog=ZQDEMO");
        QVERIFY(dynamic_cast<EmbeddedDatabase*>(db.get()));
        QCOMPARE(firstValue(*db, "SF_ZQ2K_SALE '0016','ADM',1").toLongLong(), 0);
        for (const char* catalogue : {"OTHER", "../ZQDEMO", "/tmp/x", "sub\\x", ".."}) {
            try {
                factory(QString("Data Source=zqpro;Initial Catalog=") + catalogue);
                QFAIL(catalogue);
            } catch (const DbError& e) {
                QCOMPARE(e.number(), quint32(0x80004005));
            }
        }
    }
};

QTEST_GUILESS_MAIN(SessionProceduresTest)
#include "tst_sessionprocedures.moc"
