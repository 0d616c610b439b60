#include "ReportPage.h"

#include "Clock.h"
#include "Dialogs.h"
#include "PrintEngine.h"
#include "Session.h"
#include "StatusText.h"

int PagesFor(int rows, int rowsPerPage) {
    return rows / rowsPerPage + (rows % rowsPerPage != 0 ? 1 : 0);
}

void PrintColumnHeading(PrintDevice& device, double left, double right, const QString& heading) {
    device.setFontName(QStringLiteral("細明體"));
    device.setFontSize(11);
    PrintCenteredIn(device, 1440, left, right, heading);
    PrintRule(device, 1660, left, right);
    PrintRule(device, 1680, left, right);
}

bool ConfirmPrint(int rows, int pages) {
    const QString question =
        QStringLiteral("共有 %1 筆資料,共需 %2 頁,確定要列印?").arg(rows).arg(pages);
    return Dialogs::ask(question, Dialogs::Buttons::OkCancel, Dialogs::Answer::Ok) ==
           Dialogs::Answer::Ok;
}

void ReportPrinted() {
    StatusText::clear();
    Dialogs::showMessage(QStringLiteral("資料列印完畢!"));
}

void ReportPrinted(PrintDevice& device) {
    device.finish();
    if (device.failed())
        StatusText::clear();
    else
        ReportPrinted();
}

ReportPage::ReportPage(PrintDevice& device, ReportLayout layout, PrintTop printTop)
    : m_device(device), m_layout(layout), m_printTop(std::move(printTop)) {}

void ReportPage::start() {
    m_device.setOrientation(m_layout.orientation);
    m_page = 1;
    m_row = 1;
    m_topPrinted = false;
}

double ReportPage::nextRow() {
    if (m_row > m_layout.rowsPerPage) {
        closingRules();
        printCentred(rowY() + 80, QStringLiteral("接下頁......"));
        m_device.endDocument();
        m_device.setOrientation(m_layout.orientation);
        ++m_page;
        m_row = 1;
        m_topPrinted = false;
    }
    if (m_row == 1) printTopNow();
    const double y = rowY();
    ++m_row;
    return y;
}

void ReportPage::printTopNow() {
    if (m_topPrinted) return;
    m_printTop(m_page);
    m_topPrinted = true;
}

void ReportPage::close() {
    closingRules();
    printCentred(rowY() + 80, m_layout.signer + Session::current().staffName +
                                  Clock::now().time().toString(QStringLiteral("HH:mm:ss")));
    m_device.endDocument();
    ++m_page;
    m_row = 1;
    m_topPrinted = false;
}

void ReportPage::closingRules() {
    PrintRule(m_device, rowY(), m_layout.ruleLeft, m_layout.ruleRight);
    PrintRule(m_device, rowY() + 20, m_layout.ruleLeft, m_layout.ruleRight);
}

void ReportPage::printCentred(double y, const QString& text) {
    if (m_layout.orientation == PrintDevice::Orientation::Landscape)
        PrintCenteredWide(m_device, y, text);
    else
        PrintCentered(m_device, y, text);
}
