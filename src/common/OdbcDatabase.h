#pragma once

#include <QString>

#include "SuiteDatabase.h"

// The suite's SQL Server through Qt's ODBC driver and the data source "zqpro": the connection
// text is mapped to an ODBC connection string, every result set of a batch is read, and the
// driver's failures are mapped to the provider's error numbers.
class OdbcDatabase : public SuiteDatabase {
public:
    explicit OdbcDatabase(const QString& connectionText);
    ~OdbcDatabase() override;
    ResultSets execute(const QString& commandText) override;

    // "DSN=zqpro;UID=...;PWD=...;DATABASE=..." for a connection text.
    static QString odbcConnectString(const QString& connectionText);
    // The provider's error number for an ODBC state ("42S02") or SQL Server error number.
    static std::uint32_t mapError(const QString& sqlState, int nativeError);

private:
    QString m_name;
};
