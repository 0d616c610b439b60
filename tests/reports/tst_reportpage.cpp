// The report page protocol's question and end. (Where the pages break, the continuation line,
// the closing rules and the footer, one document per page, are checked on the reports' own
// layouts in tst_reportwindows.)
#include <QtTest>

#include "../shell/ScriptedDialogs.h"
#include "ReportPage.h"
#include "Session.h"
#include "StatusText.h"

class TestReportPage : public QObject {
    Q_OBJECT

private slots:
    // A part page counts as a page; a Cancel on the question prints nothing; the end clears
    // the progress. (The texts said are checked through the report windows.)
    void questionAndEnd() {
        Session::reset();
        ScriptedDialogs* dialogs = ScriptedDialogs::install();
        QCOMPARE(PagesFor(35, 35), 1);
        QCOMPARE(PagesFor(36, 35), 2);
        dialogs->answers = {Dialogs::Answer::Cancel};
        QVERIFY(!ConfirmPrint(36, 2));
        StatusText::set("目前進度：第 2 頁，共 2 頁");
        ReportPrinted();
        QCOMPARE(StatusText::text(), QString());
    }
};

QTEST_MAIN(TestReportPage)
#include "tst_reportpage.moc"
