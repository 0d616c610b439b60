#include "CurrentPrinter.h"

#include <QDir>
#include <QPrinterInfo>

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

bool pdfEnabled() {
    return UserSettings::get(QStringLiteral("Zq2000"), QStringLiteral("Printer"),
                             QStringLiteral("PDF")) != QLatin1String("0");
}
}  // namespace

QString pdfPrinterName() { return QStringLiteral("PDF 印表機"); }
bool isPdfPrinter(const QString& name) { return name == pdfPrinterName(); }

QString pdfFolder() {
    const QString fromEnvironment = qEnvironmentVariable("ZQFU_PDF_DIR");
    return fromEnvironment.isEmpty() ? QDir::home().filePath(QStringLiteral("zqfu-pdf"))
                                     : fromEnvironment;
}

QStringList installed() {
    QStringList printers = systemPrinters();
    if (pdfEnabled()) printers << pdfPrinterName();
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
