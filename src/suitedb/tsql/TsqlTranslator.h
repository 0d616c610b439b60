#pragma once

#include <QByteArray>
#include <QHash>
#include <QVarLengthArray>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "ResultSet.h"
#include "SqliteConnection.h"
#include "TsqlBinder.h"
#include "TsqlCatalogue.h"
#include "TsqlEmitter.h"
#include "TsqlPattern.h"

class TsqlBatch;

// Runs T-SQL statements on the SQLite connection: parser, binder and emitter, behind a cache
// of the texts' patterns (TsqlPattern). Statements that differ only in their values share
// one translation, and so one prepared statement of the connection; the values are bound as
// parameters. Not for use by two threads at once.
class TsqlTranslator {
public:
    explicit TsqlTranslator(SqliteConnection& db);
    ~TsqlTranslator();

    // Runs the statements of tokens [first, last) of the batch and appends the result sets of
    // the SELECTs. Throws DbError.
    void run(const TsqlBatch& batch, qsizetype first, qsizetype last, ResultSets& out);
    // As run, but hands the rows of each SELECT to the sink as SQLite steps to them; a set
    // begins at its first row (or at its end when it has none), so a statement that fails
    // before its first row hands over nothing.
    void stream(const TsqlBatch& batch, qsizetype first, qsizetype last, ResultSink& sink);
    // Runs a command text that is one statement of a shape translated before (the grids send
    // the same statements over and over with other values) without tokenizing and splitting
    // it as a batch: the same results and errors as the way through TsqlBatch and run. False,
    // having run nothing, for any other text.
    bool runRepeated(const QString& commandText, ResultSets& out);
    // Parses the statements of tokens [first, last), or the IF condition there, without
    // running them: throws DbError for a syntax error.
    void parse(const TsqlBatch& batch, qsizetype first, qsizetype last, bool condition);
    // Whether the IF condition of tokens [first, last) holds.
    bool holds(const TsqlBatch& batch, qsizetype first, qsizetype last);

    // The SQLite statements that a command text without IF or calls becomes, with the values
    // to bind: for tests and benchmarks. Table definitions are left out.
    struct Prepared {
        QString sql;
        QVariantList values;
        QStringList columns;
    };
    std::vector<Prepared> prepare(const QString& commandText);

private:
    struct Variant {
        SqlText sql;
        std::vector<TsqlEmitter::Param> params;
    };
    struct Translation {
        Tsql::Statement statement;
        bool bound = false;
        std::vector<Tsql::Site> sites;
        QHash<QByteArray, Variant> variants;  // by the sites enabled for the values
    };
    // The statements of one text but for its literals.
    struct Shape {
        TsqlPattern pattern;
        std::vector<int> structural;  // slots whose texts must be the same
        QStringList structuralTexts;
        bool definitions = false;  // never cached: what follows depends on them
        bool condition = false;    // the condition of an IF, not a statement
        quint64 used = 0;          // when last used: the least recently used goes first
        std::vector<Translation> statements;
    };
    // The literals of one statement's text (from its first token to its last) as spans of it
    // (the text outlives them); their texts and values are read when needed, mostly for the
    // few that are bound.
    struct Literals {
        QStringView source;
        std::vector<int> slotOf;        // per token of the range (not kept by the repeated path)
        TsqlPattern::Literals spans;    // per slot

        QStringView text(int slot) const;
        // Throws the server's refusal of a number it cannot represent.
        void checkNumbers() const;
        // The literal's value, read from its text once.
        const QVariant& value(int slot) const;

    private:
        mutable QVarLengthArray<std::optional<QVariant>, 128> m_values;  // per slot, once read
    };

    Literals literals(const TsqlBatch& batch, qsizetype first, qsizetype last) const;
    void refresh();
    void forget();
    void dropOldest();
    Shape* cached(Literals& lits, bool condition);
    void runStatement(Translation& t, const Literals& lits, ResultSets& out);
    void forEach(const TsqlBatch& batch, qsizetype first, qsizetype last,
                 const std::function<void(Translation&, const Literals&)>& each);
    // The token ranges of a range's statements, where it holds too many to translate at once.
    using Parts = std::vector<std::pair<qsizetype, qsizetype>>;
    // The translation of the range; null when it is to run statement by statement, the
    // statements' ranges in parts (all of them read without error).
    Shape* shape(const TsqlBatch& batch, qsizetype first, qsizetype last, Literals& lits,
                 bool condition, std::unique_ptr<Shape>& fresh, Parts* parts = nullptr);
    void keep(const Literals& lits, std::unique_ptr<Shape> fresh);
    const Variant& variant(Translation& t, const Literals& lits);
    void bind(Translation& t, const TsqlTokens& tokens, Shape& shape);
    QVariantList values(const Variant& v, const Literals& lits) const;
    void runDefinition(const TsqlBatch& batch, const Tsql::Statement& s);

    SqliteConnection& m_db;
    TsqlCatalogue m_catalogue;
    // By their patterns' heads; each list is kept with the last used first.
    std::unordered_map<size_t, std::vector<std::unique_ptr<Shape>>> m_cache;
    int m_cached = 0;
    quint64 m_uses = 0;
    const qsizetype m_parameterLimit;  // values one statement may bind
};
