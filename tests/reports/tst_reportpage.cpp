// The report page protocol's question and end; the layouts are checked in tst_reportwindows.
#include <QtTest>

#include "../shell/ScriptedDialogs.h"
#include "ReportPage.h"
#include "Session.h"
#include "StatusText.h"

class TestReportPage : public QObject {
    Q_OBJECT

private slots:
    // A part page counts; Cancel on the question prints nothing; the end clears the progress.
    void questionAndEnd() {
        Session::reset();
        ScriptedDialogs* dialogs = ScriptedDialogs::install();
        QCOMPARE(QList<int>({PagesFor(35, 35), PagesFor(36, 35)}), QList<int>({1, 2}));
        dialogs->answers = {Dialogs::Answer::Cancel};
        QVERIFY(!ConfirmPrint(36, 2));
        StatusText::set("目前進度：第 2 頁，共 2 頁");
        ReportPrinted();
        QCOMPARE(StatusText::text(), QString());
    }
};

QTEST_MAIN(TestReportPage)
#include "tst_reportpage.moc"
