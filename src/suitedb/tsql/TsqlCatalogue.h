#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "TsqlSyntax.h"

class SqliteConnection;
struct sqlite3_stmt;

// What the front end knows of the database: the columns of each table and view with their
// types and collations, read from SQLite's own catalogue, so that it does not matter who wrote
// the schema. Other databases of the group ("ZqPro4..Stoc") are the files of that name beside
// the current one, attached when first named; a database that is not there reads as empty
// tables shaped like the current database's.
class TsqlCatalogue {
public:
    explicit TsqlCatalogue(SqliteConnection& db);
    ~TsqlCatalogue();
    TsqlCatalogue(const TsqlCatalogue&) = delete;
    TsqlCatalogue& operator=(const TsqlCatalogue&) = delete;

    struct Table {
        QString schema;       // the SQLite schema that holds it ("main", "ZqPro4")
        QString name;         // as the catalogue spells it
        bool absent = false;  // its database is not there: no rows
        std::vector<Tsql::Column> columns;
        std::vector<Tsql::KeyIndex> keyIndexes;
    };

    // The table or view, or nothing when there is none. database is empty for the current
    // database.
    std::optional<Table> table(const QString& database, const QString& name);

    // Forgets what it read when the schema changed since the last call (another process may
    // have added tables). Cheap enough for every batch.
    bool refresh();

private:
    // The schema of a database of the group: "main" for the current one, the attached name
    // for one that is there, empty for one that is not.
    QString schemaOf(const QString& database);
    std::optional<Table> read(const QString& schema, const QString& name);
    void readIndexes(Table& table, const QStringList& primaryKey);
    qlonglong schemaVersion();

    SqliteConnection& m_db;
    QString m_folder;
    QString m_mainName;
    QHash<QString, QString> m_schemas;              // upper-case database -> schema
    QHash<QString, std::optional<Table>> m_tables;  // "SCHEMA.NAME" in upper case
    qlonglong m_version = -1;
    sqlite3_stmt* m_mainVersion = nullptr;  // PRAGMA main.schema_version, kept prepared
};
