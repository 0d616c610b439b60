#pragma once

#include <QString>
#include <QStringList>

// Our stand-in for the suite's setup program: the local settings file and the embedded
// database with its schema and demo data, in one folder. Running it again adds only what is
// missing.
namespace SuiteSetup {
constexpr const char* DemoCatalogue = "ZQDEMO";

struct Result {
    bool settingsWritten = false;
    bool databaseCreated = false;
    int schemaObjectsAdded = 0;
    int demoRowsAdded = 0;
    int groupFilesAdded = 0;  // sister and central databases, ZqGroup.ini
    qint64 benchmarkRowsAdded = 0;
    QStringList lines;  // what was done, for the user

    bool changed() const {
        return settingsWritten || databaseCreated || schemaObjectsAdded > 0 || demoRowsAdded > 0 ||
               groupFilesAdded > 0 || benchmarkRowsAdded > 0;
    }
};

// Sets up the folder. rowCount asks for benchmark history of that many sales lines
// (HistoryData::fillLarge; 0 for none).
// Throws DbError when the database cannot be created or filled, std::runtime_error when the
// settings file cannot be written.
Result run(const QString& folder, long long rowCount = 0);
}  // namespace SuiteSetup
