#pragma once

#include <vector>

#include "TsqlLexer.h"
#include "TsqlSyntax.h"

class TsqlCatalogue;

namespace Tsql {
// A rewrite of the emitted SQL that holds only for some values of one literal, decided each
// time the statement runs.
struct Site {
    enum class Kind {
        LikePrefix,  // column LIKE 'prefix%': also a range of the column, when there is a prefix
        KeySplit,    // the history key compared with a text: compared as its two columns,
                     // when the text splits back exactly
        KeyRanges,   // an unpadded key (code column + text) >= or <= a text: ranges of the
                     // code column, when the text is plain (TsqlKeyRanges)
    };
    Kind kind = Kind::LikePrefix;
    int slot = -1;         // the literal it depends on
    int keyLength = 0;     // KeySplit: the CHAR length of the document code; KeyRanges: the
                           // CHAR length of the column before the code (0: none)
    bool atLeast = false;  // KeyRanges: >= (else <=)
};

// Whether a literal (its text as written) compared with something stays in the SQL as it
// stands instead of becoming a parameter: 0 and ''. SQLite reads a partial index (the open
// stock lots') only for a query whose WHERE has the index's condition with the same constants,
// and these are the constants that such conditions name. The same value bound as a parameter
// or written out compares alike, so nothing else changes; the translation cache keeps these
// literals in its key, so that every text of one translation has them in the same places.
bool keptInline(QStringView literal);
}  // namespace Tsql

// The typing pass: resolves every table against the catalogue and every column against the
// tables in scope (refusing unknown and ambiguous ones as the server does), spells out *,
// gives every expression its type, and finds the places where a rewrite depends on a
// literal's value (Site).
class TsqlBinder {
public:
    TsqlBinder(TsqlCatalogue& catalogue, const TsqlTokens& tokens);

    void bind(Tsql::Statement& statement);

    const std::vector<Tsql::Site>& sites() const { return m_sites; }
    // Literal slots that the translation relies on beyond those the parser found.
    const std::vector<int>& structural() const { return m_structural; }

private:
    struct Scope {
        std::vector<Tsql::TableRef*> sources;
        const Scope* outer = nullptr;
    };

    void bindSelect(Tsql::Select& select, const Scope* outer);
    static void chooseIndex(Tsql::TableRef& ref, const Tsql::Expr* where);
    void bindNested(Tsql::Select& select, const Scope* outer);
    void bindSource(Tsql::TableRef& ref, const Scope* outer);
    void bindTable(Tsql::TableRef& ref);
    void expandItems(Tsql::Select& select, const Scope& scope);
    void bindOrder(Tsql::Select& select, const Scope& scope);
    void bindUnions(Tsql::Select& first, const Scope* outer);
    void bindExpr(Tsql::Expr& e, const Scope& scope);
    void bindColumn(Tsql::Expr& e, const Scope& scope);
    void bindFunction(Tsql::Expr& e);
    Tsql::Type convertedType(const Tsql::TypeName& target) const;
    void findSites(Tsql::Expr& e);
    void keepInline(Tsql::Expr& e) const;
    bool isHistoryKey(Tsql::Expr& e);
    bool isJoinedKey(Tsql::Expr& e);
    bool isItemKey(Tsql::Expr& e);
    int literalSlot(const Tsql::Expr& e, Tsql::Type type) const;

    TsqlCatalogue& m_catalogue;
    const TsqlTokens& m_tokens;
    int m_nextSource = 0;
    std::vector<Tsql::Site> m_sites;
    std::vector<int> m_structural;
};
