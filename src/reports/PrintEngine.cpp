#include "PrintEngine.h"

#include <QCoreApplication>
#include <cmath>

#include "Clock.h"
#include "Dialogs.h"
#include "Session.h"
#include "StatusText.h"
#include "Values.h"

namespace {
constexpr double PortraitCap = 11300;
constexpr double LandscapeCap = 16200;

// The width that centred texts are centred on: the page's, at most the cap.
double centringWidth(const PrintDevice& device, bool wide) {
    const double width = device.pageWidth();
    if (wide) return width > LandscapeCap ? LandscapeCap : width;
    return width < PortraitCap + 1 ? width : PortraitCap;
}

void printCentredOn(PrintDevice& device, double y, const QString& text, const QString& unit,
                    bool wide) {
    double x = (centringWidth(device, wide) - device.textWidth(text)) / 2;
    if (x < 0) x = 0;
    device.setCurrentY(ToTwips(y, unit));
    device.setCurrentX(x);
    device.printText(text);
}

void underlineCentredOn(PrintDevice& device, double y, const QString& text, const QString& unit,
                        bool wide) {
    const double width = centringWidth(device, wide);
    const double textWidth = device.textWidth(text);
    // Whole twips, the way the printer's integer arithmetic does it: rounded half to even, then
    // halved with the remainder dropped.
    double x1 = std::trunc(std::nearbyint(width - textWidth) / 2);
    double x2 = std::nearbyint(x1 + textWidth);
    if (x1 < 0) x1 = 0;
    if (x2 > width) x2 = width;
    const double at = ToTwips(y, unit);
    device.drawLine(x1, at, x2, at);
}

// The page's number as the header prints it.
QString pageText(int page, int totalPages) {
    const QString number = QString::number(page);
    if (totalPages < 1) return QStringLiteral("頁次：") + number;
    return QStringLiteral("第 ") + number + QStringLiteral(" 頁，共 ") +
           QString::number(totalPages) + QStringLiteral(" 頁");
}

void printPageHeader(PrintDevice& device, const QString& title, const QString& subtitle,
                     double xLeft, double xRight, int page, int totalPages, bool wide) {
    device.setFontBold(false);
    device.setFontName(QStringLiteral("標楷體"));
    device.setFontSize(18);
    printCentredOn(device, 300, Session::current().companyName, {}, wide);
    printCentredOn(device, 650, title, {}, wide);
    underlineCentredOn(device, 1000, title, {}, wide);

    device.setFontSize(12);
    PrintAt(device, 1100, xLeft, QStringLiteral("列印日期：") + DateToRoc(Clock::today()));
    if (!subtitle.isEmpty()) PrintCenteredIn(device, 1100, xLeft, xRight, subtitle);
    PrintRight(device, 1100, xRight, pageText(page, totalPages));
    PrintRule(device, 1400, xLeft, xRight);
    PrintRule(device, 1380, xLeft, xRight);
    ShowPrintProgress(page, totalPages);
}
}  // namespace

void ShowPrintProgress(int page, int totalPages) {
    if (totalPages < 1)
        StatusText::set(QStringLiteral("目前進度：第 ") + QString::number(page) +
                        QStringLiteral(" 頁"));
    else
        StatusText::set(QStringLiteral("目前進度：") + pageText(page, totalPages));
    // Lets the status text show the progress while the printing goes on.
    QCoreApplication::processEvents();
}

double ToTwips(double value, const QString& unit) {
    const QString lower = unit.toLower();
    if (lower == QLatin1String("mm")) return value * 56.7;
    if (lower == QLatin1String("in")) return value * 1440;
    return value;
}

void PrintAt(PrintDevice& device, double y, double x, const QString& text, const QString& unit) {
    device.setCurrentY(ToTwips(y, unit));
    device.setCurrentX(ToTwips(x, unit));
    device.printText(text);
}

void PrintRight(PrintDevice& device, double y, double xRight, const QString& text,
                const QString& unit) {
    device.setCurrentY(ToTwips(y, unit));
    double x = ToTwips(xRight, unit) - device.textWidth(text);
    if (x < 0) x = 0;
    device.setCurrentX(x);
    device.printText(text);
}

void PrintRightIn(PrintDevice& device, double y, double xLeft, double xRight,
                  const QString& text) {
    const double size = device.fontSize();
    const double width = device.textWidth(text);
    if (width <= xRight - xLeft || width <= 0) {
        PrintRight(device, y, xRight, text);
        return;
    }
    // Down to the half point that fits; the width of a text follows its size.
    device.setFontSize(std::floor(size * (xRight - xLeft) / width * 2) / 2);
    PrintRight(device, y, xRight, text);
    device.setFontSize(size);
}

void PrintCenteredIn(PrintDevice& device, double y, double x1, double x2, const QString& text,
                     const QString& unit) {
    device.setCurrentY(ToTwips(y, unit));
    const double left = ToTwips(x1, unit);
    double x = left + ((ToTwips(x2, unit) - left) - device.textWidth(text)) / 2;
    if (x < left) x = left;
    device.setCurrentX(x);
    device.printText(text);
}

void PrintCentered(PrintDevice& device, double y, const QString& text, const QString& unit) {
    printCentredOn(device, y, text, unit, false);
}

void PrintCenteredWide(PrintDevice& device, double y, const QString& text, const QString& unit) {
    printCentredOn(device, y, text, unit, true);
}

void UnderlineCentered(PrintDevice& device, double y, const QString& text, const QString& unit) {
    underlineCentredOn(device, y, text, unit, false);
}

void UnderlineCenteredWide(PrintDevice& device, double y, const QString& text,
                           const QString& unit) {
    underlineCentredOn(device, y, text, unit, true);
}

void PrintRule(PrintDevice& device, double y, double x1, double x2, const QString& unit) {
    const double at = ToTwips(y, unit);
    device.drawLine(ToTwips(x1, unit), at, ToTwips(x2, unit), at);
}

void PrintPageHeader(PrintDevice& device, const QString& title, const QString& subtitle,
                     double xLeft, double xRight, int page, int totalPages) {
    printPageHeader(device, title, subtitle, xLeft, xRight, page, totalPages, false);
}

void PrintPageHeaderWide(PrintDevice& device, const QString& title, const QString& subtitle,
                         double xLeft, double xRight, int page, int totalPages) {
    printPageHeader(device, title, subtitle, xLeft, xRight, page, totalPages, true);
}

bool PrinterMissing() {
    if (Session::current().printerReady) return false;
    Dialogs::showMessage(QStringLiteral("您尚未安裝印表機,請先設定印表機"));
    return true;
}
