#include "CurrentPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>

#include "Clock.h"

#include "UserSettings.h"

namespace CurrentPrinter {
namespace {
struct State {
    QString chosen;  // empty: the default
    std::optional<QStringList> testPrinters;
    QString testDefault;
};
State& state() {
    static State s;
    return s;
}

QStringList systemPrinters() {
    if (state().testPrinters) return *state().testPrinters;
    return QPrinterInfo::availablePrinterNames();
}

QString systemDefault() {
    if (state().testPrinters) return state().testDefault;
    return QPrinterInfo::defaultPrinterName();
}

// A built-in printer is there unless its setting is "0".
bool enabled(const QString& key) {
    return UserSettings::get(QStringLiteral("Zq2000"), QStringLiteral("Printer"), key) !=
           QLatin1String("0");
}

QString folderOf(const char* variable, const QString& inHome) {
    const QString fromEnvironment = qEnvironmentVariable(variable);
    return fromEnvironment.isEmpty() ? QDir::home().filePath(inHome) : fromEnvironment;
}
}  // namespace

QString pdfPrinterName() { return QStringLiteral("PDF 印表機"); }
bool isPdfPrinter(const QString& name) { return name == pdfPrinterName(); }

QString pdfFolder() { return folderOf("ZQFU_PDF_DIR", QStringLiteral("zqfu-pdf")); }

QString excelPrinterName() { return QStringLiteral("Excel 印表機"); }
QString csvPrinterName() { return QStringLiteral("CSV 印表機"); }
bool isSheetPrinter(const QString& name) {
    return name == excelPrinterName() || name == csvPrinterName();
}
QString sheetFolder() { return folderOf("ZQFU_SHEET_DIR", QStringLiteral("zqfu-sheets")); }

QString outputFile(const QString& folder, const QString& document, const QString& suffix,
                   const QStringList& chosen) {
    QString base = document;
    base.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    if (base.trimmed().isEmpty()) base = QStringLiteral("zqfu");
    base += Clock::now().toString(QStringLiteral(" yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    QString file = dir.filePath(base + suffix);
    for (int n = 2; QFileInfo::exists(file) || chosen.contains(file); ++n)
        file = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
    return file;
}

QStringList installed() {
    QStringList printers = systemPrinters();
    if (enabled(QStringLiteral("PDF"))) printers << pdfPrinterName();
    if (enabled(QStringLiteral("Excel"))) printers << excelPrinterName();
    if (enabled(QStringLiteral("CSV"))) printers << csvPrinterName();
    return printers;
}

std::optional<QString> name() {
    const QStringList printers = installed();
    if (printers.isEmpty()) return std::nullopt;
    if (!state().chosen.isEmpty() && printers.contains(state().chosen)) return state().chosen;
    const QString fallback = systemDefault();
    return printers.contains(fallback) ? fallback : printers.first();
}

void setName(const QString& name) { state().chosen = name; }

void setSystemForTest(std::optional<QStringList> printers, const QString& defaultPrinter) {
    state() = State{};
    state().testPrinters = std::move(printers);
    state().testDefault = defaultPrinter;
}
}  // namespace CurrentPrinter
