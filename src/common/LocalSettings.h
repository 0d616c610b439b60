#pragma once

#include <QString>
#include <optional>

// The local settings file ZqSrvUse.dat: a SQLite file holding the table SrvDat with one row of
// the database login. SADD empty or "embedded" selects the embedded suite database, the file
// DNAM + ".zqdb" beside the settings file; any other value selects ODBC (DSN "zqpro").
// The password stands in the file as it is, so the file is kept readable and writable by its
// owner only (on systems with POSIX file modes).
struct LocalSettings {
    QString sadd;  // server address
    QString unam;  // login name
    QString upas;  // login password
    QString dnam;  // database (catalogue) name

    static constexpr const char* FileName = "ZqSrvUse.dat";

    bool embedded() const;

    // The first row of "Select * From SrvDat"; nullopt when the file cannot be read or the
    // table holds no row. The file is protected first.
    static std::optional<LocalSettings> read(const QString& path);
    // Creates the file (owner-only) and table when missing and makes this the only row.
    static bool write(const QString& path, const LocalSettings& row);
    // Makes the file, and any journal or WAL file SQLite left beside it, readable and writable
    // by the owner only (0600) when group or others have any access to it. False when such a
    // file could not be changed (it belongs to another user); true where there are no POSIX
    // file modes.
    static bool protect(const QString& path);
};
