#pragma once

#include <QString>
#include <optional>

// The local settings file ZqSrvUse.dat: a SQLite file holding the table SrvDat with one row of
// the database login. SADD empty or "embedded" selects the embedded suite database, the file
// DNAM + ".zqdb" beside the settings file; any other value selects ODBC (DSN "zqpro").
struct LocalSettings {
    QString sadd;  // server address
    QString unam;  // login name
    QString upas;  // login password
    QString dnam;  // database (catalogue) name

    static constexpr const char* FileName = "ZqSrvUse.dat";

    bool embedded() const;

    // The first row of "Select * From SrvDat"; nullopt when the file cannot be read or the
    // table holds no row.
    static std::optional<LocalSettings> read(const QString& path);
    // Creates the file and table when missing and makes this the only row.
    static bool write(const QString& path, const LocalSettings& row);
};
