#include "TsqlCatalogue.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <algorithm>

#include "Backends.h"
#include "SqliteConnection.h"

using Tsql::Type;

namespace {
QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

// SQLite's rules for the affinity of a declared type, with DATETIME kept apart: its values
// are texts that compare as written.
Type declaredType(const QString& declared) {
    const QString d = declared.toUpper();
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME"))) return Type::Date;
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) ||
        d.contains(QLatin1String("TEXT")))
        return Type::Text;
    if (d.isEmpty() || d.contains(QLatin1String("BLOB"))) return Type::Unknown;
    return Type::Number;
}

// A declared type of the server's decimals (DECIMAL, NUMERIC, MONEY ...): SQLite stores their
// whole values as integers, which are no int's for the server.
bool declaredDecimal(const QString& declared) {
    const QString d = declared.toUpper();
    return !d.contains(QLatin1String("INT")) &&
           (d.contains(QLatin1String("DEC")) || d.contains(QLatin1String("NUM")) ||
            d.contains(QLatin1String("MONEY")));
}
}  // namespace

TsqlCatalogue::TsqlCatalogue(SqliteConnection& db) : m_db(db) {
    const QFileInfo file(db.path());
    m_folder = file.absolutePath();
    m_mainName = file.completeBaseName();
}

TsqlCatalogue::~TsqlCatalogue() { sqlite3_finalize(m_mainVersion); }

qlonglong TsqlCatalogue::schemaVersion() {
    // Read on every batch: straight from SQLite, without a result set. A failure is read
    // again through the connection, which reports it.
    static const char* const sql = "PRAGMA main.schema_version";
    if (!m_mainVersion) sqlite3_prepare_v2(m_db.handle(), sql, -1, &m_mainVersion, nullptr);
    qlonglong version = 0;
    if (m_mainVersion && sqlite3_step(m_mainVersion) == SQLITE_ROW) {
        version = sqlite3_column_int64(m_mainVersion, 0);
        sqlite3_reset(m_mainVersion);
    } else {
        if (m_mainVersion) sqlite3_reset(m_mainVersion);
        version = m_db.scalar(QLatin1String(sql)).toLongLong();
    }
    for (const QString& schema : std::as_const(m_schemas)) {
        if (schema.isEmpty() || schema == QLatin1String("main")) continue;
        version += m_db.scalar(QStringLiteral("PRAGMA %1.schema_version").arg(quoted(schema)))
                       .toLongLong();
    }
    return version;
}

bool TsqlCatalogue::refresh() {
    const qlonglong version = schemaVersion();
    if (version == m_version) return false;
    m_version = version;
    m_tables.clear();
    return true;
}

QString TsqlCatalogue::schemaOf(const QString& database) {
    if (database.isEmpty() || database.compare(m_mainName, Qt::CaseInsensitive) == 0)
        return QStringLiteral("main");
    const QString key = database.toUpper();
    if (const auto it = m_schemas.constFind(key); it != m_schemas.constEnd()) return *it;
    // Only an existing database file of the folder: a name with a path, a link out of the
    // folder or a file that is no database reads as an absent database.
    const QString path = ExistingDatabaseFile(m_folder, database);
    QString schema;
    if (!path.isEmpty()) {
        m_db.exec(QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(quoted(database)), {path});
        schema = database;
    }
    m_schemas.insert(key, schema);
    m_version = schemaVersion();
    return schema;
}

std::optional<TsqlCatalogue::Table> TsqlCatalogue::table(const QString& database,
                                                         const QString& name) {
    const QString schema = schemaOf(database);
    if (schema.isEmpty()) {
        // The database is not there: its table reads as empty, shaped as ours.
        std::optional<Table> local = table(QString(), name);
        if (local) local->absent = true;
        return local;
    }
    const QString key = schema.toUpper() + u'.' + name.toUpper();
    if (const auto it = m_tables.constFind(key); it != m_tables.constEnd()) return *it;
    std::optional<Table> found = read(schema, name);
    m_tables.insert(key, found);
    return found;
}

std::optional<TsqlCatalogue::Table> TsqlCatalogue::read(const QString& schema,
                                                        const QString& name) {
    const ResultSet named = m_db.query(
        QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type IN ('table', 'view') AND "
                       "name = ?1 COLLATE NOCASE")
            .arg(quoted(schema)),
        {name});
    if (named.rows.isEmpty()) return std::nullopt;
    Table table;
    table.schema = schema;
    table.name = named.rows.first().first().toString();
    const ResultSet info = m_db.query(
        QStringLiteral("PRAGMA %1.table_xinfo(%2)").arg(quoted(schema), quoted(table.name)));
    const int nameColumn = info.columnIndex(QStringLiteral("name"));
    const int typeColumn = info.columnIndex(QStringLiteral("type"));
    const int hiddenColumn = info.columnIndex(QStringLiteral("hidden"));
    const int keyColumn = info.columnIndex(QStringLiteral("pk"));
    QStringList primaryKey;
    const QByteArray schemaUtf8 = schema.toUtf8();
    const QByteArray tableUtf8 = table.name.toUtf8();
    for (const QVariantList& row : info.rows) {
        if (row.value(hiddenColumn).toInt() == 1) continue;
        Tsql::Column column;
        column.name = row.value(nameColumn).toString();
        column.type = declaredType(row.value(typeColumn).toString());
        column.decimal = declaredDecimal(row.value(typeColumn).toString());
        const char* collation = nullptr;
        // Views have no column metadata; their columns get the collation written out.
        if (sqlite3_table_column_metadata(m_db.handle(), schemaUtf8.constData(),
                                          tableUtf8.constData(), column.name.toUtf8().constData(),
                                          nullptr, &collation, nullptr, nullptr,
                                          nullptr) == SQLITE_OK &&
            collation)
            column.collated = qstricmp(collation, "TSQL") == 0;
        if (const int place = row.value(keyColumn).toInt(); place > 0) {
            while (primaryKey.size() < place) primaryKey.append(QString());
            primaryKey[place - 1] = column.name;
        }
        table.columns.push_back(column);
    }
    readIndexes(table, primaryKey);
    return table;
}

// The columns that a unique index holds alone, in the column's own collation and for every
// row (not a partial index): an equality on one of them finds one row at most. And the indexes
// that hold the whole primary key first: they order and find rows as the key does.
void TsqlCatalogue::readIndexes(Table& table, const QStringList& primaryKey) {
    const ResultSet indexes = m_db.query(QStringLiteral("PRAGMA %1.index_list(%2)")
                                             .arg(quoted(table.schema), quoted(table.name)));
    const int nameColumn = indexes.columnIndex(QStringLiteral("name"));
    const int uniqueColumn = indexes.columnIndex(QStringLiteral("unique"));
    const int originColumn = indexes.columnIndex(QStringLiteral("origin"));
    const int partialColumn = indexes.columnIndex(QStringLiteral("partial"));
    for (const ResultRows::Row& index : indexes.rows) {
        if (index.value(partialColumn).toInt() != 0) continue;
        const QString indexName = index.value(nameColumn).toString();
        const ResultSet parts = m_db.query(QStringLiteral("PRAGMA %1.index_xinfo(%2)")
                                               .arg(quoted(table.schema), quoted(indexName)));
        const int key = parts.columnIndex(QStringLiteral("key"));
        const int name = parts.columnIndex(QStringLiteral("name"));
        const int collation = parts.columnIndex(QStringLiteral("coll"));
        // The key's columns, each in its own collation; an expression (no name of a column),
        // the rowid or another collation leaves the index out.
        QStringList columns;
        bool plain = true;
        for (const ResultRows::Row& part : parts.rows) {
            if (part.value(key).toInt() != 1) continue;
            const auto column = std::find_if(
                table.columns.begin(), table.columns.end(), [&](const Tsql::Column& c) {
                    return c.name.compare(part.value(name).toString(), Qt::CaseInsensitive) == 0;
                });
            plain = column != table.columns.end() &&
                    part.value(collation).toString().compare(
                        column->collated ? QStringLiteral("TSQL") : QStringLiteral("BINARY"),
                        Qt::CaseInsensitive) == 0;
            if (!plain) break;
            columns.append(column->name);
        }
        if (!plain) continue;
        if (index.value(uniqueColumn).toInt() == 1 && columns.size() == 1) {
            for (Tsql::Column& column : table.columns)
                if (column.name == columns.first()) column.unique = true;
        }
        if (index.value(originColumn).toString() != QLatin1String("pk") && !primaryKey.isEmpty() &&
            columns.mid(0, primaryKey.size()) == primaryKey)
            table.keyIndexes.push_back({indexName, columns, primaryKey.size()});
    }
}
