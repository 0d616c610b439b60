// The session's procedures on the demo database, setup idempotence, and the backend chooser.
#include <QDir>
#include <QtTest>

#include "Backends.h"
#include "Clock.h"
#include "DbError.h"
#include "DemoFolder.h"
#include "EmbeddedDatabase.h"
#include "LocalSettings.h"
#include "Values.h"

namespace {
// Right n as the module reads it from the start-up row: bit n % 32 of mask n / 32 (positions
// 14 and on), bit 31 being the sign.
bool hasRight(const QVariantList& row, int n) {
    const qlonglong mask = row.value(14 + n / 32).toLongLong();
    return n % 32 == 31 ? mask < 0 : (mask & (qlonglong(1) << (n % 32))) != 0;
}
}  // namespace

class SessionProceduresTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

    QVariantList saleRow(const QString& call) {
        const ResultSets sets = m_db->execute(call);
        if (sets.size() != 1 || sets[0].rows.size() != 1) return {};
        const ResultSet& set = sets[0];
        if (set.columns.size() != 55 || set.rows[0].size() != 55) return {};
        return set.rows[0];
    }

private slots:
    void init() { m_db = std::make_unique<EmbeddedDatabase>(m_folder.database()); }
    void cleanup() {
        m_db.reset();
        Clock::setFixed(QDateTime());
    }

    void saleAccepted() {
        const ResultSet set = m_db->execute(QStringLiteral("SF_ZQ2K_SALE '0016','ADM',1"))[0];
        QCOMPARE(set.columns.size(), 55);
        const QVariantList row = set.rows.value(0);
        QCOMPARE(row.value(0).toLongLong(), 0);
        QCOMPARE(row.value(1).toString(), QString());
        const auto named = [&](const char* column) {
            return row.value(set.columnIndex(QLatin1String(column)));
        };
        QCOMPARE(named("COMNAM").toString(), QStringLiteral("晟嘉通科技股份有限公司"));
        QCOMPARE(named("LCODE").toString(), QStringLiteral("0016"));
        QCOMPARE(named("MFOR").toString(), QStringLiteral("2"));
        QCOMPARE(named("SCODE").toString(), QStringLiteral("S001"));
        QCOMPARE(named("SNAME").toString(), QStringLiteral("系統管理員"));
        QCOMPARE(named("SSTOC").toString(), QStringLiteral("01"));
        QCOMPARE(named("DEPARTNO").toString(), QStringLiteral("05"));
        for (const char* column :
             {"COMNAM", "LCODE", "MFOR", "SCODE", "SNAME", "SSTOC", "DEPARTNO"})
            QVERIFY2(set.columnIndex(QLatin1String(column)) < 14, column);
        for (int c = 0; c < 41; ++c) QCOMPARE(row[14 + c].toLongLong(), -1);
        for (int n : {0, 31, 355, 960, 961, 962, 1311}) QVERIFY(hasRight(row, n));
    }

    void rightsOfOrdinaryUsers() {
        const QVariantList lee = saleRow(QStringLiteral("SF_ZQ2K_SALE '0016','LEE',1"));
        QCOMPARE(lee.value(0).toLongLong(), 0);
        QVERIFY(hasRight(lee, 960));
        for (int n : {961, 962, 355, 351, 0})
            QVERIFY2(!hasRight(lee, n), qPrintable(QString::number(n)));
        int held = 0;
        for (int n = 0; n < 1312; ++n) held += hasRight(lee, n);
        QCOMPARE(held, 1);

        // Right 351 is bit 31 of mask 10: the sign bit, so the mask is negative.
        const QVariantList wang = saleRow(QStringLiteral("SF_ZQ2K_SALE '0003','WANG',1"));
        QCOMPARE(wang.value(14 + 10).toLongLong(), qlonglong(INT32_MIN));
        for (int n : {351, 355, 362, 363, 371, 372, 960, 961, 962}) QVERIFY(hasRight(wang, n));
        QVERIFY(!hasRight(wang, 350));
        QVERIFY(!hasRight(wang, 352));
    }

    void userCodesIgnoreCaseAndTrailingBlanks() {
        for (const char* user : {"adm", "Adm ", "ADM"}) {
            const QVariantList row =
                saleRow(QStringLiteral("SF_ZQ2K_SALE '0016','%1',1").arg(QLatin1String(user)));
            QCOMPARE(row.value(0).toLongLong(), 0);
            QCOMPARE(row.value(5).toString(), QStringLiteral("S001"));
        }
    }

    void saleRefused_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("unknown user") << "SF_ZQ2K_SALE '0016','XYZ',1"
                                      << "XYZ";
        QTest::newRow("unknown workstation") << "SF_ZQ2K_SALE '0099','ADM',1"
                                             << "0099";
        QTest::newRow("both unknown: workstation first") << "SF_ZQ2K_SALE '9999','XYZ',1"
                                                         << "9999";
        QTest::newRow("empty user") << "SF_ZQ2K_SALE '0016','',1"
                                    << "使用者";
        QTest::newRow("empty workstation") << "SF_ZQ2K_SALE '','ADM',1"
                                           << "工作站";
    }
    void saleRefused() {
        QFETCH(QString, call);
        QFETCH(QString, mentions);
        const QVariantList row = saleRow(call);
        QCOMPARE(row.size(), 55);
        QCOMPARE(row[0].toLongLong(), 1);
        QVERIFY2(row[1].toString().contains(mentions), qPrintable(row[1].toString()));
        for (int c = 0; c < 41; ++c) QCOMPARE(row[14 + c].toLongLong(), 0);
    }

    void timeUpdate() {
        const QDateTime moment(QDate(2024, 3, 15), QTime(9, 30, 5, 250));
        Clock::setFixed(moment);
        const ResultSets sets = m_db->execute(QStringLiteral("EXEC SP_TIME_UPDATE '0016'"));
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets[0].columns, QStringList({QStringLiteral("DTIME")}));
        QCOMPARE(sets[0].rows.size(), 1);
        QCOMPARE(sets[0].rows[0][0].typeId(), QMetaType::QDateTime);
        QCOMPARE(sets[0].rows[0][0].toDateTime(), moment);
        const QVariant stored =
            m_db->execute(QStringLiteral("Select LTIME From LSTA Where LCODE = '0016'"))[0]
                .rows[0][0];
        QCOMPARE(stored.toDateTime(), moment);
        // An unknown workstation still gets the time.
        QCOMPARE(m_db->execute(QStringLiteral("SP_TIME_UPDATE '7777'"))[0].rows[0][0].toDateTime(),
                 moment);
    }

    // The notice line's statements find the demo notices valid today (bounds inclusive).
    void demoNoticesOfToday() {
        const QString today = DateToRoc(QDate::currentDate());
        const QString valid =
            QStringLiteral("SELECT * FROM F8DATA WHERE FBEGD <= '%1' AND FEND >= '%1'").arg(today);
        const auto count = [&](const QString& sql) { return m_db->execute(sql)[0].rows.size(); };
        QCOMPARE(count(valid + QStringLiteral(" ORDER BY FBEGD DESC,FSEQ DESC")), 6);
        QCOMPARE(count(valid + QStringLiteral(" AND (FDEPNO = '' OR FDEPNO = '02')")), 5);
        QCOMPARE(count(valid + QStringLiteral(" AND (FDEPNO = '' OR FDEPNO = '05')")), 4);
        QCOMPARE(count(valid + QStringLiteral(" AND FBEGD = '%1'").arg(today)), 1);
        QCOMPARE(count(valid + QStringLiteral(" AND FEND = '%1'").arg(today)), 1);
    }

    void setupIsIdempotent() {
        QTemporaryDir dir;
        const SuiteSetup::Result first = SuiteSetup::run(dir.path());
        QVERIFY(first.settingsWritten);
        QVERIFY(first.databaseCreated);
        QVERIFY(first.demoRowsAdded > 0);
        const auto settings = LocalSettings::read(dir.filePath(QStringLiteral("ZqSrvUse.dat")));
        QVERIFY(settings.has_value());
        QCOMPARE(settings->sadd, QStringLiteral("embedded"));
        QCOMPARE(settings->dnam, QStringLiteral("ZQDEMO"));
        QVERIFY(settings->unam.isEmpty() && settings->upas.isEmpty());

        const SuiteSetup::Result second = SuiteSetup::run(dir.path());
        QVERIFY(!second.changed());
        QVERIFY(!second.lines.isEmpty());

        // A table emptied by hand is filled again; the others stay as they are.
        {
            EmbeddedDatabase db(dir.filePath(QStringLiteral("ZQDEMO.zqdb")));
            db.execute(QStringLiteral(
                "Delete From F8DATA; Update SALE Set SNAME = 'x' Where SUSER = 'LEE'"));
        }
        const SuiteSetup::Result third = SuiteSetup::run(dir.path());
        QCOMPARE(third.demoRowsAdded, 8);
        EmbeddedDatabase db(dir.filePath(QStringLiteral("ZQDEMO.zqdb")));
        QCOMPARE(db.execute(QStringLiteral("Select SNAME From SALE Where SUSER = 'LEE'"))[0]
                     .rows[0][0]
                     .toString(),
                 QStringLiteral("x"));
    }

    void setupLeavesServerSettingsAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ZqSrvUse.dat"));
        QVERIFY(LocalSettings::write(path, {QStringLiteral("10.0.0.5"), QStringLiteral("sa"),
                                            QStringLiteral("pw"), QStringLiteral("ZQ2K")}));
        const SuiteSetup::Result result = SuiteSetup::run(dir.path());
        QVERIFY(!result.changed());
        QCOMPARE(LocalSettings::read(path)->sadd, QStringLiteral("10.0.0.5"));
        QCOMPARE(QDir(dir.path()).entryList(QStringList{QStringLiteral("*.zqdb")}), QStringList());
    }

    void factoryOpensTheCatalogueFile() {
        const LocalSettings settings{QString(), QString(), QString(), QStringLiteral("ZQDEMO")};
        const auto factory = MakeConnectionFactory(m_folder.path(), settings);
        const auto db =
            factory(QStringLiteral("Provider=MSDASQL.1;Password=;Persist Security "
                                   "Info=False;User ID=;Data Source=zqpro;Initial "
                                   "Catalog=ZQDEMO"));
        QVERIFY(dynamic_cast<EmbeddedDatabase*>(db.get()));
        QCOMPARE(
            db->execute(QStringLiteral("SF_ZQ2K_SALE '0016','ADM',1"))[0].rows[0][0].toLongLong(),
            0);
        try {
            factory(QStringLiteral("Data Source=zqpro;Initial Catalog=OTHER"));
            QFAIL("opened a catalogue that has no file");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), quint32(0x80004005));
        }
    }
};

QTEST_GUILESS_MAIN(SessionProceduresTest)
#include "tst_sessionprocedures.moc"
