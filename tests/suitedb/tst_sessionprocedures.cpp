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

QVariant firstValue(SuiteDatabase& db, const QString& text) {
    return db.execute(text).value(0).rows.value(0).value(0);
}
}  // namespace

class SessionProceduresTest : public QObject {
    Q_OBJECT

    DemoFolder m_folder;
    std::unique_ptr<EmbeddedDatabase> m_db;

    // The start-up answer: one set of one row of 55 columns; empty when it is not that.
    ResultSet sale(const QString& workstation, const QString& user) {
        const ResultSets sets =
            m_db->execute(QString("SF_ZQ2K_SALE '%1','%2',1").arg(workstation, user));
        if (sets.size() != 1 || sets[0].rows.size() != 1 || sets[0].columns.size() != 55 ||
            sets[0].rows[0].size() != 55)
            return {};
        return sets[0];
    }

private slots:
    void init() { m_db = std::make_unique<EmbeddedDatabase>(m_folder.database()); }
    void cleanup() {
        m_db.reset();
        Clock::setFixed(QDateTime());
    }

    // The user code ignores case and trailing blanks; the session's values come before the
    // 41 masks of rights, all set for the administrator.
    void saleAccepted() {
        const ResultSet set = sale("0016", "Adm ");
        const QVariantList row = set.rows.value(0);
        QCOMPARE(row.value(0).toLongLong(), 0);
        QCOMPARE(row.value(1).toString(), QString());
        for (const auto& [column, value] :
             {std::pair("COMNAM", "晟嘉通科技股份有限公司"), std::pair("LCODE", "0016"),
              std::pair("SCODE", "S001"), std::pair("DEPARTNO", "05")}) {
            const int i = set.columnIndex(column);
            QVERIFY2(i >= 0 && i < 14 && row[i].toString() == QString::fromUtf8(value), column);
        }
        for (int c = 0; c < 41; ++c) QCOMPARE(row[14 + c].toLongLong(), -1);
    }

    // An ordinary user holds exactly the rights given; right 351 is bit 31 of mask 10, the
    // sign bit, so the mask is negative.
    void rightsOfOrdinaryUsers() {
        const QVariantList lee = sale("0016", "LEE").rows.value(0);
        int held = 0;
        for (int n = 0; n < 1312; ++n) held += hasRight(lee, n);
        QVERIFY(held == 1 && hasRight(lee, 960));
        const QVariantList wang = sale("0003", "WANG").rows.value(0);
        QCOMPARE(wang.value(14 + 10).toLongLong(), qlonglong(INT32_MIN));
        for (int n : {351, 355, 362, 363, 371, 372, 960, 961, 962}) QVERIFY(hasRight(wang, n));
        QVERIFY(!hasRight(wang, 350) && !hasRight(wang, 352));
    }

    // Refused with the status 1, a message naming what is wrong, and no right at all; both
    // unknown: the workstation first.
    void saleRefused() {
        const char* const cases[][3] = {{"0016", "XYZ", "XYZ"},
                                        {"9999", "XYZ", "9999"},
                                        {"0016", "", "使用者"},
                                        {"", "ADM", "工作站"}};
        for (const auto& [workstation, user, mentions] : cases) {
            const QVariantList row = sale(workstation, user).rows.value(0);
            QCOMPARE(row.size(), 55);
            QCOMPARE(row[0].toLongLong(), 1);
            QVERIFY2(row[1].toString().contains(QString::fromUtf8(mentions)),
                     qPrintable(row[1].toString()));
            for (int c = 0; c < 41; ++c) QCOMPARE(row[14 + c].toLongLong(), 0);
        }
    }

    // The time as a date-time, stored for the workstation; an unknown one still gets it.
    void timeUpdate() {
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

    // The demo notices valid today for department 02 show on the notice line, bounds inclusive.
    void demoNoticesOfToday() {
        const QString sql =
            "SELECT COUNT(*), SUM(FBEGD = '%1'), SUM(FEND = '%1') FROM F8DATA WHERE "
            "FBEGD <= '%1' AND FEND >= '%1' AND (FDEPNO = '' OR FDEPNO = '02')";
        const QVariantList row =
            m_db->connection().query(sql.arg(DateToRoc(QDate::currentDate()))).rows.value(0);
        QCOMPARE(row, (QVariantList{5, 1, 1}));
    }

    // The first run writes the settings and the demo database; another run changes nothing;
    // a table emptied by hand is filled again while the others stay as they are.
    void setupIsIdempotent() {
        QTemporaryDir dir;
        const SuiteSetup::Result first = SuiteSetup::run(dir.path());
        QVERIFY(first.settingsWritten && first.databaseCreated && first.demoRowsAdded > 0);
        const auto settings = LocalSettings::read(dir.filePath("ZqSrvUse.dat"));
        QVERIFY(settings && settings->sadd == "embedded" && settings->dnam == "ZQDEMO");
        QVERIFY(settings->unam.isEmpty() && settings->upas.isEmpty());

        const SuiteSetup::Result second = SuiteSetup::run(dir.path());
        QVERIFY(!second.changed() && !second.lines.isEmpty());

        EmbeddedDatabase(dir.filePath("ZQDEMO.zqdb"))
            .execute("Delete From F8DATA; Update SALE Set SNAME = 'x' Where SUSER = 'LEE'");
        QCOMPARE(SuiteSetup::run(dir.path()).demoRowsAdded, 8);
        EmbeddedDatabase again(dir.filePath("ZQDEMO.zqdb"));
        QCOMPARE(firstValue(again, "Select SNAME From SALE Where SUSER = 'LEE'"), QVariant("x"));
    }

    // Settings naming a server are left as they are, and no demo file is made.
    void setupLeavesServerSettingsAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZqSrvUse.dat");
        QVERIFY(LocalSettings::write(path, {"10.0.0.5", "sa", "pw", "ZQ2K"}));
        QVERIFY(!SuiteSetup::run(dir.path()).changed());
        QCOMPARE(LocalSettings::read(path)->sadd, QString("10.0.0.5"));
        QCOMPARE(QDir(dir.path()).entryList({"*.zqdb"}), QStringList());
    }

    // The module's connection string opens the catalogue's file beside the settings file; a
    // catalogue without a file, or one naming a file elsewhere, is refused.
    void factoryOpensTheCatalogueFile() {
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
