#include "InstallationSwitches.h"

#include <QDir>
#include <QSettings>

namespace {
struct Entry {
    const char* key;
    bool InstallationSwitches::*value;
};
constexpr Entry Entries[] = {
    {"TaxIncludedLotPrices", &InstallationSwitches::taxIncludedLotPrices},
    {"BranchStockVariant", &InstallationSwitches::branchStockVariant},
    {"BranchStockQuery", &InstallationSwitches::branchStockQuery},
    {"BoardBroadcast", &InstallationSwitches::boardBroadcast},
};
const QString Section = QStringLiteral("Switches/");
}  // namespace

InstallationSwitches InstallationSwitches::read(const QString& folder) {
    InstallationSwitches switches;
    const QSettings file(QDir(folder).filePath(QLatin1String(FileName)), QSettings::IniFormat);
    for (const Entry& e : Entries)
        switches.*e.value =
            file.value(Section + QLatin1String(e.key)).toString().trimmed() == QLatin1String("1");
    return switches;
}

bool InstallationSwitches::write(const QString& folder, const InstallationSwitches& switches) {
    QSettings file(QDir(folder).filePath(QLatin1String(FileName)), QSettings::IniFormat);
    for (const Entry& e : Entries)
        file.setValue(Section + QLatin1String(e.key), switches.*e.value ? 1 : 0);
    file.sync();
    return file.status() == QSettings::NoError;
}
