#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "Recordset.h"

// A data source: a connection text, a command text and, after refresh(), the recordset of the
// command. Windows own their data sources; the free functions of DbAccess.h (SetConnection,
// RefreshData, HasRecords) are the way to use them.
class DataSource {
public:
    QString connectionText;
    QString commandText;
    // Set by SetConnection as the suite's windows do; kept for the ODBC backend's time-outs.
    int commandTimeout = 0;
    int connectionTimeout = 0;
    bool visible = false;

    // Runs the command text; throws DbError. The place names the caller in the trace.
    void refresh(const QString& place = {});
    bool isOpen() const { return m_recordset != nullptr; }
    Recordset& recordset();
    // The recordset, or an empty one before the first refresh.
    const Recordset& recordset() const;

    // Keeps the recordset's columns and drops its rows, sending nothing (a page whose rows went
    // away meanwhile).
    void dropRows();

    // Runs one statement on the same connection (used for the recordset's edits).
    ResultSets run(const QString& text, const QString& place = {});

private:
    QStringList tableColumns(const QString& table, const QString& place);

    std::unique_ptr<Recordset> m_recordset;
    QString m_columnsTable;
    QStringList m_columns;
};
