#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The syntax tree of the T-SQL statements that the front end runs. The parser builds it; the
// binder resolves names against the catalogue and fills in the types and the fields marked
// "bound"; the emitter writes SQLite SQL from it. Literal values are not kept in the tree: a
// literal names its slot, the how-manieth text or number token of the statement, and its value
// is bound as a parameter when the statement runs.
namespace Tsql {

// What an expression yields, as far as the server's rules for + and comparisons care.
enum class Type { Unknown, Null, Text, Number, Date };

struct Select;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using SelectPtr = std::unique_ptr<Select>;

// An index that holds its table's whole primary key first, in the key's own collations, for
// every row (not a partial one), and the columns it holds.
struct KeyIndex {
    QString name;
    QStringList columns;
    qsizetype keyColumns = 0;  // the first columns, which are the key's
};

// A column of a table, a view or a derived table.
struct Column {
    QString name;
    Type type = Type::Unknown;
    bool collated = false;  // declared COLLATE TSQL, so comparisons on it need no COLLATE
    bool decimal = false;   // declared a decimal or money type (NUMERIC affinity, no INT)
    bool unique = false;    // a unique index on it alone (in its own collation) holds it
    int derivedIndex = -1;  // a column of a derived table: its position there
};

// CHAR(11), VARCHAR, INT ... as written in CONVERT and CAST.
struct TypeName {
    QString name;  // upper case
    int length = -1;
    int scale = -1;  // DECIMAL(p, s)
};

struct Expr {
    enum class Kind {
        Literal,   // slot, literalType
        Null,      // NULL
        Column,    // [qualifier.]name
        Unary,     // op ("-", "+"), args[0]
        Binary,    // op ("+", "-", "*", "/", "%"), args[0], args[1]
        Compare,   // op ("=", "<>", "<", ">", "<=", ">="), args[0], args[1]
        And,       // args
        Or,        // args
        Not,       // args[0]
        IsNull,    // args[0]; negated: IS NOT NULL
        Like,      // args[0] LIKE args[1]; negated
        Between,   // args[0] BETWEEN args[1] AND args[2]; negated
        InList,    // args[0] IN (args[1..]); negated
        InSelect,  // args[0] IN (select); negated
        Exists,    // EXISTS (select)
        Subquery,  // (select) as a value
        Function,  // op (upper case) (args), star for COUNT(*), distinct
        Convert,   // CONVERT(target, args[0]) or CAST(args[0] AS target)
        Case,      // CASE [operand] WHEN .. THEN .. [ELSE ..] END
    };

    Kind kind = Kind::Null;
    qsizetype token = 0;  // the token where it begins, for messages
    QString op;
    QString qualifier;  // Column: the table or alias before the name
    QString name;       // Column: the name as written
    int slot = -1;      // Literal
    Type literalType = Type::Unknown;
    bool negated = false;
    bool distinct = false;
    bool star = false;
    bool hasOperand = false;  // Case: args[0] is the operand
    bool hasElse = false;     // Case: the last argument is the ELSE value
    TypeName target;
    std::vector<ExprPtr> args;  // Case: [operand] when, then, when, then, ... [else]
    SelectPtr select;
    int height = 1;  // levels of the tree from here down, nested SELECTs included (a chain
                     // of + and - or of *, / and % counts as one level)

    Expr() = default;
    Expr(Expr&&) = default;
    Expr& operator=(Expr&&) = default;
    // A chain's first operand lies thousands of links down: taken apart link by link, not by
    // a call per link.
    ~Expr() {
        while (!args.empty() && args[0] && !args[0]->args.empty()) {
            const ExprPtr link = std::move(args[0]);
            args[0] = std::move(link->args[0]);
        }
    }

    // bound
    Type type = Type::Unknown;
    bool bigint = false;      // a whole number of the server's bigint (not int), as far as
                              // the statement tells: CONVERT(BIGINT, x) and what it makes
    bool decimal = false;     // a number of a decimal or money type (a column declared so,
                              // CONVERT to one, a whole literal beyond int) and what it makes:
                              // no int's or bigint's range holds its arithmetic
    // The width of its arithmetic as the functions that do it read it (TsqlFunctions):
    // 'd' a decimal's, 'b' a bigint's, 'i' an int's.
    char16_t width() const { return decimal ? u'd' : bigint ? u'b' : u'i'; }
    int source = -1;          // Column: the id of its table source
    Column column;            // Column: the catalogue's column
    QString inlined;          // Literal: its text when the SQL keeps it (Tsql::keptInline)
    int site = -1;            // a rewrite that depends on a literal's value (see Translation)
    int keyLength = 0;        // Compare of the history key: the code's CHAR length
    Expr* keyCode = nullptr;  // ... its document code column
    Expr* keyLine = nullptr;  // ... its line number column
    Expr* keyHead = nullptr;  // Binary + of a code column and a text of its row: the column
    Expr* keyTail = nullptr;  // ... and the text
    Expr* keyItem = nullptr;  // ... after a column in CHAR(n) (CONVERT(CHAR(n),A) + C + T)
    int keyItemLength = 0;    // ... and its n
};

// One table of a FROM clause, with how it joins the ones before it.
struct TableRef {
    enum class Join { First, Comma, Inner, Left, Cross };

    Join join = Join::First;
    QString database;  // the catalogue before "..", empty for the current one
    QString name;      // the table or view as written
    SelectPtr derived;
    QString alias;
    ExprPtr on;
    qsizetype token = 0;

    // bound
    int id = -1;
    QString schema;       // the SQLite schema that holds it
    bool absent = false;  // a table of a database of the group that is not there: no rows
    QString catalogueName;
    std::vector<Column> columns;
    std::vector<KeyIndex> keyIndexes;
    std::vector<bool> read;  // per column: the statement reads it
    QString index;           // the narrower index the statement reads the table through
};

struct SelectItem {
    ExprPtr expr;  // null for * and alias.*
    QString alias;
    bool hasAlias = false;
    QString starQualifier;  // alias.*
    qsizetype token = 0;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
    int item = -1;  // bound: an ORDER BY that names a result column
};

struct Select;

// A further SELECT of a UNION or UNION ALL.
struct UnionPart {
    bool all = false;
    std::unique_ptr<Select> select;
};

struct Select {
    bool distinct = false;
    ExprPtr top;
    std::vector<SelectItem> items;
    std::vector<TableRef> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderItem> orderBy;  // with unions: the order of the whole result
    std::vector<UnionPart> unions;    // the SELECTs united with this one, in order
    qsizetype token = 0;
    int height = 1;  // as Expr::height

    // bound: the result columns, after * is spelled out
    QStringList names;
    std::vector<Type> types;
    bool oneRow = false;  // bound: no tables, or aggregates without GROUP BY: always one row
    // bound: one row or none: oneRow, or a table whose WHERE pins a unique column to a value
    bool atMostOneRow = false;
};

struct Statement {
    enum class Kind { Select, Insert, Update, Delete, Definition, Condition };

    Kind kind = Kind::Select;
    qsizetype token = 0;
    SelectPtr select;     // Select; Insert ... SELECT
    TableRef table;       // Insert, Update, Delete
    QStringList columns;  // Insert: the columns; Update: the assigned ones
    std::vector<qsizetype> columnTokens;
    std::vector<std::vector<ExprPtr>> rows;  // Insert ... VALUES
    std::vector<ExprPtr> values;             // Update: the values assigned
    ExprPtr where;                           // Update, Delete; Condition: the condition
    qsizetype last = 0;                      // Definition: tokens [token, last)
};

}  // namespace Tsql
