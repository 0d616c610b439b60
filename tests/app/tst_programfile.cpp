// The program file that the build makes carries the version of the project, and start-up
// reads it back.
#include <QtTest>

#include "Startup.h"

class TestProgramFile : public QObject {
    Q_OBJECT
private slots:
    void versionIsStamped() {
        const QString program = qEnvironmentVariable("ZQFU_PROGRAM");
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        const QString version = FileVersionText(program);
        QVERIFY2(version.startsWith(QStringLiteral(ZQFU_VERSION_PREFIX)), qPrintable(version));
        QCOMPARE(version.split('.').size(), 4);
    }
};

QTEST_MAIN(TestProgramFile)
#include "tst_programfile.moc"
