#pragma once

// Small databases for the T-SQL front end's tests, and a compact text of result sets to
// compare with: sets " // ", rows ";", values "|", NULL as NULL.
#include <QTemporaryDir>
#include <memory>

#include "DbError.h"
#include "EmbeddedDatabase.h"

inline QString ShowValue(const QVariant& v) {
    if (!v.isValid()) return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

inline QString ShowResults(const ResultSets& sets) {
    QStringList out;
    for (const ResultSet& set : sets) {
        QStringList rows;
        for (const QVariantList& row : set.rows) {
            QStringList cells;
            for (const QVariant& v : row) cells.append(ShowValue(v));
            rows.append(cells.join(u'|'));
        }
        out.append(rows.join(u';'));
    }
    return out.join(QStringLiteral(" // "));
}

// A fresh database file MAIN.zqdb in a folder of its own, set up by the given SQLite statements.
class TsqlFixture {
public:
    explicit TsqlFixture(const QString& setup) {
        m_db = std::make_unique<EmbeddedDatabase>(path(QStringLiteral("MAIN")),
                                                  EmbeddedDatabase::OpenMode::Create);
        m_db->connection().script(setup);
    }

    EmbeddedDatabase& db() { return *m_db; }
    QString path(const QString& catalogue) const {
        return m_dir.filePath(catalogue + QStringLiteral(".zqdb"));
    }
    QString run(const QString& text) { return ShowResults(m_db->execute(text)); }
    // The rows of the text, or the number and description of its refusal.
    QString outcome(const QString& text) {
        try {
            return run(text);
        } catch (const DbError& e) {
            return e.hexNumber() + u' ' + e.description();
        }
    }

    // The steps of SQLite's plans for the statements of the text as the front end translates it.
    QStringList plan(const QString& text) {
        QStringList steps;
        for (const auto& prepared : m_db->translator().prepare(text))
            for (const QVariantList& row :
                 m_db->connection()
                     .query(QStringLiteral("EXPLAIN QUERY PLAN ") + prepared.sql, prepared.values)
                     .rows)
                steps.append(row.last().toString());
        return steps;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<EmbeddedDatabase> m_db;
};
