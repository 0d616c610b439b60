#include "SuiteSetup.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

#include "Backends.h"
#include "Clock.h"
#include "DemoData.h"
#include "GroupData.h"
#include "HistoryData.h"
#include "InstallationSwitches.h"
#include "LocalSettings.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"

namespace SuiteSetup {
Result run(const QString& folder, long long rowCount) {
    Result result;
    QDir().mkpath(folder);
    const QString settingsPath = QDir(folder).filePath(QLatin1String(LocalSettings::FileName));

    std::optional<LocalSettings> settings = LocalSettings::read(settingsPath);
    if (!settings) {
        const LocalSettings row{QStringLiteral("embedded"), QString(), QString(),
                                QLatin1String(DemoCatalogue)};
        if (!LocalSettings::write(settingsPath, row))
            throw std::runtime_error(
                QStringLiteral("無法寫入設定檔 %1").arg(settingsPath).toStdString());
        settings = row;
        result.settingsWritten = true;
        result.lines.append(QStringLiteral("已寫入設定檔 %1 (內建資料庫 %2)")
                                .arg(QDir::toNativeSeparators(settingsPath), row.dnam));
        // A new installation gets its switches too, all off, for the installer to change.
        const QString switchesPath = QDir(folder).filePath(QLatin1String(InstallationSwitches::FileName));
        if (!QFileInfo::exists(switchesPath)) {
            if (!InstallationSwitches::write(folder, {}))
                throw std::runtime_error(
                    QStringLiteral("無法寫入設定檔 %1").arg(switchesPath).toStdString());
            result.lines.append(QStringLiteral("已寫入安裝開關 %1 (全部關閉)")
                                    .arg(QDir::toNativeSeparators(switchesPath)));
        }
    }

    if (!settings->embedded()) {
        result.lines.append(
            QStringLiteral("設定檔指定 SQL Server (%1),不建立內建資料庫").arg(settings->sadd));
        return result;
    }

    const QString catalogue = settings->dnam.trimmed().isEmpty() ? QLatin1String(DemoCatalogue)
                                                                 : settings->dnam.trimmed();
    const QString databasePath = EmbeddedDatabasePath(folder, catalogue);
    result.databaseCreated = !QFileInfo::exists(databasePath);
    SqliteConnection db(databasePath, SqliteConnection::OpenMode::Create);
    result.schemaObjectsAdded = SuiteSchema::create(db);
    result.demoRowsAdded = DemoData::fill(db, Clock::today());

    const QString shown = QDir::toNativeSeparators(databasePath);
    if (result.databaseCreated)
        result.lines.append(QStringLiteral("已建立內建資料庫 %1 (%2 個資料表及索引, %3 筆示範資料)")
                                .arg(shown)
                                .arg(result.schemaObjectsAdded)
                                .arg(result.demoRowsAdded));
    else if (result.schemaObjectsAdded > 0 || result.demoRowsAdded > 0)
        result.lines.append(QStringLiteral("已補齊內建資料庫 %1 (%2 個資料表及索引, %3 筆示範資料)")
                                .arg(shown)
                                .arg(result.schemaObjectsAdded)
                                .arg(result.demoRowsAdded));
    // The group's sister companies and central database beside the main one.
    const QStringList group = GroupData::create(folder, Clock::today());
    result.groupFilesAdded = int(group.size());
    result.lines += group;
    if (rowCount > 0) {
        result.benchmarkRowsAdded = HistoryData::fillLarge(db, rowCount);
        result.lines.append(
            result.benchmarkRowsAdded > 0
                ? QStringLiteral("已加入大量歷史資料 %1 筆 (銷貨明細共 %2 筆)")
                      .arg(result.benchmarkRowsAdded)
                      .arg(rowCount)
                : QStringLiteral("大量歷史資料已有銷貨明細 %1 筆,無須補充").arg(rowCount));
    }
    if (!result.changed())
        result.lines.append(QStringLiteral("設定檔與內建資料庫 %1 皆已存在,無任何變更").arg(shown));
    return result;
}
}  // namespace SuiteSetup
