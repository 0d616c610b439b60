#pragma once

// Small databases for the front end's tests; result sets as text: " // ", ";", "|", NULL.
#include <QTemporaryDir>
#include <memory>

#include "DbError.h"
#include "EmbeddedDatabase.h"

inline QString ShowResults(const ResultSets& sets) {
    QStringList out;
    for (const ResultSet& set : sets) {
        QStringList rows;
        for (const QVariantList& row : set.rows) {
            QStringList cells;
            for (const QVariant& v : row)
                cells.append(!v.isValid() ? QStringLiteral("NULL")
                             : v.typeId() == QMetaType::Double
                                 ? QString::number(v.toDouble(), 'g', 15)
                                 : v.toString());
            rows.append(cells.join(u'|'));
        }
        out.append(rows.join(u';'));
    }
    return out.join(QStringLiteral(" // "));
}

// A fresh database file MAIN.zqdb in a folder of its own, set up by the given SQLite statements.
class TsqlFixture {
public:
    explicit TsqlFixture(const QString& setup,
                         std::shared_ptr<const ProcedureRegistry> procedures = {}) {
        m_db = std::make_unique<EmbeddedDatabase>(path(QStringLiteral("MAIN")),
                                                  EmbeddedDatabase::OpenMode::Create, procedures);
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
        for (const auto& prepared : m_db->translator().prepare(text)) {
            const QString sql = "EXPLAIN QUERY PLAN " + prepared.sql;
            for (const QVariantList& row : m_db->connection().query(sql, prepared.values).rows)
                steps.append(row.last().toString());
        }
        return steps;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<EmbeddedDatabase> m_db;
};
