#pragma once

#include <QString>

#include "SuiteDatabase.h"

// The suite's SQL Server through Qt's ODBC driver and the data source named in the
// connection text ("zqpro"): the login and the catalogue of the connection text become the
// data source's user, password and current catalogue, every result set of a batch is read,
// and the driver's failures are mapped to the provider's error numbers.
class OdbcDatabase : public SuiteDatabase {
public:
    // Throws DbError (LoginRefused or NoConnection) when the connection cannot be made.
    explicit OdbcDatabase(const QString& connectionText);
    ~OdbcDatabase() override;
    ResultSets execute(const QString& commandText) override;
    // Row by row, as the driver fetches them.
    void stream(const QString& commandText, ResultSink& sink) override;

    // What the connection text asks of the ODBC driver.
    struct Login {
        QString dataSource;
        QString user;
        QString password;
        QString catalogue;  // empty: the data source's own default
    };
    static Login login(const QString& connectionText);

    // The provider's error number for a failure that the ODBC driver reported with the
    // server's native error number and its message; connecting tells a failed connection
    // from a failed command.
    static std::uint32_t mapError(int nativeError, const QString& message, bool connecting);

private:
    QString m_name;
};
