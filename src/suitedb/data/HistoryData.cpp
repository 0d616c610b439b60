#include "HistoryData.h"

#include <sqlite3.h>

#include <QStringList>
#include <cmath>
#include <functional>
#include <optional>

#include "Clock.h"
#include "DemoData.h"
#include "EmbeddedDatabase.h"
#include "ItemCatalogue.h"
#include "SqlErrors.h"
#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "Values.h"

namespace HistoryData {
// Settings for writing gigabytes in one transaction, undone at the end. Without other
// connections the rollback journal costs less than the WAL: pages added at the end of the
// file are not journalled. A statement may run for minutes (an index over millions of
// lines), so the connection's time limit for one statement is lifted meanwhile.
class BulkMode {
public:
    explicit BulkMode(SqliteConnection& db)
        : m_db(db),
          m_cacheSize(db.scalar(QStringLiteral("PRAGMA cache_size")).toLongLong()),
          m_timeLimit(db.statementTimeLimit()) {
        m_db.setStatementTimeLimit(0);
        m_db.script(
            QStringLiteral("PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; "
                           "PRAGMA cache_size = -1000000; PRAGMA temp_store = MEMORY"));
    }
    ~BulkMode() {
        m_db.setStatementTimeLimit(m_timeLimit);
        try {
            m_db.script(QStringLiteral("PRAGMA cache_size = %1; PRAGMA temp_store = DEFAULT; "
                                       "PRAGMA synchronous = NORMAL; PRAGMA journal_mode = WAL")
                            .arg(m_cacheSize));
        } catch (...) {
        }
    }

private:
    SqliteConnection& m_db;
    qint64 m_cacheSize;  // the connection's own, given back
    int m_timeLimit;     // the same
};

namespace {
using DemoData::cents;
using ItemCatalogue::Item;
using ItemCatalogue::mix;

// The history tables, each with its share of the sales lines (per thousand) and the most
// lines one of its documents holds.
enum Table {
    Sales,
    SalesReturns,
    Purchases,
    PurchaseReturns,
    PointOfSale,
    Transfers,
    PurchaseOrders,
    CustomerOrders,
    RepairParts,
    RepairOrders,
    Received,
    Serials
};
struct TableShape {
    int perThousand;
    int maxLines;
};
constexpr TableShape Shapes[] = {{1000, 8}, {80, 2}, {250, 10}, {30, 2}, {120, 4}, {80, 6},
                                 {60, 6},   {60, 5}, {15, 3},   {15, 1}, {40, 1},  {30, 1}};
constexpr const char* HistoryTables[] = {
    "POSEIN",     "HISTIN", "HISTOU",  "BUYSIN",          "VISEIN",
    "BUYSINCODE", "VISEOU", "RETAILD", "MTRAN",           "TRAN1",
    "SBIN",       "SISE",   "ORDET",   "ORSUB",           "REBACKM",
    "REBACKD",    "WORKER", "SINOUT",  "SerialInOutTotal"};

// The days over which documents are dated, with their ROC texts.
class Span {
public:
    Span(const QDate& first, const QDate& last) : m_first(first) {
        for (QDate d = first; d <= last; d = d.addDays(1)) {
            const QByteArray roc = DateToRoc(d).toLatin1();
            m_roc.append(roc);
            m_digits.append(QByteArray(roc).replace('.', ""));
        }
    }
    int days() const { return int(m_roc.size()); }
    QDate day(int i) const { return m_first.addDays(i); }
    const QByteArray& roc(int i) const { return m_roc[qBound(0, i, days() - 1)]; }
    const QByteArray& digits(int i) const { return m_digits[qBound(0, i, days() - 1)]; }

private:
    QDate m_first;
    QList<QByteArray> m_roc;
    QList<QByteArray> m_digits;
};

// One prepared INSERT whose values are bound in column order.
class Insert {
public:
    Insert(sqlite3* db, const char* sql) : m_db(db), m_sql(sql) {
        check(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr));
    }
    ~Insert() { sqlite3_finalize(m_statement); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    Insert& text(const QByteArray& value) {
        sqlite3_bind_text(m_statement, ++m_column, value.constData(), int(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Insert& real(double value) {
        sqlite3_bind_double(m_statement, ++m_column, value);
        return *this;
    }
    Insert& integer(qint64 value) {
        sqlite3_bind_int64(m_statement, ++m_column, value);
        return *this;
    }
    Insert& null() {
        sqlite3_bind_null(m_statement, ++m_column);
        return *this;
    }
    void row() {
        const int rc = sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
        m_column = 0;
        if (rc != SQLITE_DONE) check(rc);
    }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK)
            throw SqlErrors::fromSqlite(rc, QString::fromUtf8(sqlite3_errmsg(m_db)),
                                        QString::fromLatin1(m_sql), QString());
    }
    sqlite3* m_db;
    const char* m_sql;
    sqlite3_stmt* m_statement = nullptr;
    int m_column = 0;
};

// Runs statements of SQLite's own words on the handle.
void execute(sqlite3* db, const QByteArray& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) throw SqlErrors::fromSqlite(rc, text, QString::fromUtf8(sql), QString());
}

// The document headers of one table, written in the order of their codes, as a file that grew
// day by day holds them: a table's documents are met with their lines, whose numbers cycle
// through the days, so the headers are gathered in a temporary table and copied from there
// once the lines are written (write).
class Headers {
public:
    // columns: the columns and values of the INSERT, "(PCOD1, PDAT1) VALUES (?,?)".
    Headers(sqlite3* db, const char* table, const char* code, const char* columns)
        : m_db(db), m_table(table), m_code(code), m_staging(m_table + "_HEADERS") {
        execute(db, "CREATE TEMP TABLE " + m_staging + " AS SELECT * FROM main." + m_table +
                        " WHERE 0");
        m_sql = "INSERT INTO temp." + m_staging + ' ' + columns;
        m_insert.emplace(db, m_sql.constData());
    }

    Insert& insert() { return *m_insert; }

    void write() {
        m_insert.reset();
        execute(m_db, "INSERT OR IGNORE INTO main." + m_table + " SELECT * FROM temp." + m_staging +
                          " ORDER BY " + m_code + " COLLATE TSQL; DROP TABLE temp." + m_staging);
    }

private:
    sqlite3* m_db;
    QByteArray m_table;
    QByteArray m_code;
    QByteArray m_staging;
    QByteArray m_sql;
    std::optional<Insert> m_insert;
};

QByteArray padded(qint64 n, int width) { return QByteArray::number(n).rightJustified(width, '0'); }

// A document: its number in its table, code, date and partners.
struct Document {
    quint64 index = 0;
    int day = 0;
    QByteArray code;
    std::uint64_t h = 0;
    int customer = 0;
    int vendor = 0;
    int salesman = 0;
    int warehouse = 0;
    double total = 0;
};

// Walks the documents of one table whose lines are numbered from `from` to `to` (end
// excluded); the first document may have started before `from`.
class Writer {
public:
    Writer(sqlite3* db, const Span& span) : m_db(db), m_span(span) {}
    sqlite3* db() const { return m_db; }
    const Span& span() const { return m_span; }

    using Line = std::function<void(Document&, int seq, quint64 line, std::uint64_t h)>;
    using Header = std::function<void(const Document&)>;
    void run(Table table, quint64 from, quint64 to, const Line& line, const Header& header) {
        const TableShape shape = Shapes[table];
        quint64 doc = 0;
        quint64 first = 0;  // number of the document's first line
        while (first + linesOf(table, doc, shape) <= from) first += linesOf(table, doc++, shape);
        for (quint64 n = from; n < to; ++doc) {
            Document d = document(table, doc);
            const int count = linesOf(table, doc, shape);
            const bool started = first >= from;  // else its header is written already
            for (int seq = int(n - first) + 1; seq <= count && n < to; ++seq, ++n)
                line(d, seq, n, mix(table * 1000003 + 7, n));
            if (header && started) header(d);
            first += count;
        }
    }

private:
    static int linesOf(Table table, quint64 doc, const TableShape& shape) {
        return 1 + int(mix(table + 101, doc) % shape.maxLines);
    }
    Document document(Table table, quint64 doc) const {
        Document d;
        d.index = doc;
        d.day = int(doc % quint64(m_span.days()));
        d.code = m_span.digits(d.day) + padded(qint64(doc / quint64(m_span.days())) + 1, 4);
        d.h = mix(table + 211, doc);
        d.customer = (d.h >> 40) % 20 == 0 ? ItemCatalogue::BusyCustomer
                                           : int(d.h % ItemCatalogue::customers().size());
        d.vendor = int((d.h >> 12) % ItemCatalogue::vendors().size());
        const int s = int((d.h >> 24) % 20);
        d.salesman = s < 8 ? 0 : s < 10 ? 4 : s < 15 ? 1 : s < 18 ? 2 : 3;
        d.warehouse = int((d.h >> 32) % 4);
        return d;
    }

    sqlite3* m_db;
    const Span& m_span;
};

const Item& itemOf(Table table, quint64 line) {
    return ItemCatalogue::items()[ItemCatalogue::itemForLine(table, line)];
}
QByteArray customerName(const Document& d) {
    return ItemCatalogue::customers()[d.customer].shortName;
}
QByteArray customerCode(const Document& d) { return ItemCatalogue::customers()[d.customer].code; }
const ItemCatalogue::Salesman& salesman(const Document& d) {
    return ItemCatalogue::salesmen()[d.salesman];
}
QByteArray warehouse(int w) { return ItemCatalogue::warehouses()[w].code; }
QByteArray serialCode(const Item& item, quint64 line) {
    return item.serial ? "SN" + padded(qint64(mix(99, line) % 10000000000ULL), 10) : QByteArray();
}
QByteArray rocAfter(const Span& span, int day, int days) {
    return DateToRoc(span.day(day + days)).toLatin1();
}
int quantity(std::uint64_t h) { return h % 10 < 7 ? int(1 + h % 5) : int(5 + (h >> 8) % 46); }

// Sales and sales returns: quantity and price in the base unit and in the line's own unit
// (a box for some lines); a few old lines have no own quantity, some no own price.
void salesLines(Writer& w, Table table, quint64 from, quint64 to) {
    const char* const name = table == Sales ? "HISTIN" : "HISTOU";
    const QByteArray sql = QByteArray("INSERT INTO ") + name +
                           " (HCOD1, HSEQ, HDAT1, HICOD, HINAM, HPCOD, HPNAM, HSCOD, HSNAM, HDENO, "
                           "HTCOD, HINUM, HPOIN, HUNIT, HTOTA, HINU3, HPOI3, HUNI3, HCONS, "
                           "HCOD1SEQ, SystemVisible) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
                           "?,?)";
    Insert lines(w.db(), sql.constData());
    Headers documents(w.db(), "POSEIN", "PCOD1",
                      "(PCOD1, PDAT1, PPCOD, PPNAM, PSCOD, PTAXM, PTOTA) VALUES (?,?,?,?,?,?,?)");
    w.run(
        table, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(table, n);
            const double discount = h % 3 == 0 ? 1.0 : h % 3 == 1 ? 0.97 : 0.95;
            const bool boxed = !item.boxUnit.isEmpty() && (h >> 4) % 5 == 0;
            const double own = boxed ? double(1 + (h >> 8) % 5) : double(quantity(h >> 8));
            const double ownPrice =
                cents(item.price * discount * (boxed ? item.boxSize * 0.95 : 1.0));
            const double base = boxed ? own * item.boxSize : own;
            const double total = cents(own * ownPrice);
            const int kind = int((h >> 20) % 100);  // < 3 no own quantity, < 12 no own price
            d.total += total;
            lines.text(d.code)
                .integer(seq)
                .text(w.span().roc(d.day))
                .text(item.code)
                .text(item.name)
                .text(customerCode(d))
                .text(customerName(d))
                .text(salesman(d).code)
                .text(salesman(d).name)
                .text(salesman(d).department)
                .text(warehouse(d.warehouse))
                .real(base)
                .text(item.unit)
                .real(cents(total / base))
                .real(total);
            if (kind < 3)
                lines.null();
            else
                lines.real(own);
            lines.text(boxed ? item.boxUnit : item.unit);
            if (kind >= 3 && kind < 12)
                lines.null();
            else
                lines.real(ownPrice);
            lines.text(QByteArray(h % 17 == 0   ? "含安裝"
                                  : h % 23 == 0 ? "急件"
                                                : ""))
                .text(serialCode(item, n))
                .integer((h >> 28) % 50 == 0 ? 0 : 1)
                .row();
        },
        [&](const Document& d) {
            if (table != Sales) return;
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(customerCode(d))
                .text(customerName(d))
                .text(salesman(d).code)
                .integer(d.h % 7 == 0 ? 0 : 1)
                .real(cents(d.total))
                .row();
        });
    documents.write();
}

// Purchases with their lots: a lot keeps what is left of it and where it lies.
void purchaseLines(Writer& w, quint64 from, quint64 to, const QDate& recent) {
    Insert lines(w.db(),
                 "INSERT INTO VISEIN (VCOD1, VSEQ, VDAT1, VICOD, VINAM, VPCOD, VPNAM, "
                 "VTCOD, VINUM, VPOIN, VUNIT, VTOTA, VCOD1SEQ, VCOD1NUM) VALUES "
                 "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Insert lots(w.db(), "INSERT INTO BUYSINCODE (BCOD1SEQ, STCOD, INUMB) VALUES (?,?,?)");
    Headers documents(w.db(), "BUYSIN", "BCOD1",
                      "(BCOD1, BDAT1, BPCOD, BPNAM, BTAXM, BTOTA) VALUES (?,?,?,?,?,?)");
    const auto& vendors = ItemCatalogue::vendors();
    w.run(
        Purchases, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(Purchases, n);
            const int step = qMax(1, item.boxSize);
            const double count = double(step * (1 + h % 20));
            const double price = cents(item.cost * (0.97 + double((h >> 8) % 7) / 100));
            const double total = cents(count * price);
            const QByteArray lot = item.lot ? "L" + d.code + padded(seq, 2) : QByteArray();
            const bool old = w.span().day(d.day) < recent;
            const double left = !item.lot || (old && (h >> 16) % 5 != 0)
                                    ? 0.0
                                    : double((h >> 20) % quint64(count + 1));
            d.total += total;
            lines.text(d.code)
                .integer(seq)
                .text(w.span().roc(d.day))
                .text(item.code)
                .text(item.name)
                .text(vendors[d.vendor].code)
                .text(vendors[d.vendor].shortName)
                .text(warehouse(0))
                .real(count)
                .text(item.unit)
                .real(price)
                .real(total)
                .text(lot)
                .real(left)
                .row();
            if (left > 0) {
                const double moved = (h >> 30) % 2 ? std::floor(left / 3) : 0.0;
                lots.text(lot).text(warehouse(0)).real(left - moved).row();
                if (moved > 0)
                    lots.text(lot).text(warehouse(1 + d.warehouse % 3)).real(moved).row();
            }
        },
        [&](const Document& d) {
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(vendors[d.vendor].code)
                .text(vendors[d.vendor].shortName)
                .integer(d.h % 6 == 0 ? 0 : 1)
                .real(cents(d.total))
                .row();
        });
    documents.write();
}

void purchaseReturnLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO VISEOU (VCOD1, VOSEQ, VDAT1, VICOD, VINAM, VPCOD, VPNAM, "
                 "VTCOD, VINU2, VPOIN, VUNI2, VTOTA, SystemVisible) VALUES "
                 "(?,?,?,?,?,?,?,?,?,?,?,?,?)");
    const auto& vendors = ItemCatalogue::vendors();
    w.run(PurchaseReturns, from, to,
          [&](Document& d, int seq, quint64 n, std::uint64_t h) {
              const Item& item = itemOf(PurchaseReturns, n);
              const double count = double(1 + h % 6);
              const double price = cents(item.cost);
              lines.text(d.code)
                  .integer(seq)
                  .text(w.span().roc(d.day))
                  .text(item.code)
                  .text(item.name)
                  .text(vendors[d.vendor].code)
                  .text(vendors[d.vendor].shortName)
                  .text(warehouse(d.warehouse))
                  .real(count)
                  .text(item.unit)
                  .real(price)
                  .real(cents(count * price))
                  .integer((h >> 8) % 40 == 0 ? 0 : 1)
                  .row();
          },
          {});
}

// Point of sale: a receipt is a sale ('0') or a return ('1'); the line's own quantity or
// price may be missing.
void pointOfSaleLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO RETAILD (RCOD1, RSEQ, RDAT1, RIDT, RICOD, RINAM, RPNAM, "
                 "RSCOD, RSNAM, RTCOD, RINUM, RPOIN, RUNIT, RTOTA, RINU2, RUNI2, RCONS, "
                 "RCOD1SEQ) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    w.run(PointOfSale, from, to,
          [&](Document& d, int seq, quint64 n, std::uint64_t h) {
              const Item& item = itemOf(PointOfSale, n);
              const double count = double(1 + h % 3);
              const double price = item.price;
              const int kind = int((h >> 8) % 10);  // 0, 1: no own quantity; 2: no own price
              lines.text(d.code)
                  .integer(seq)
                  .text(w.span().roc(d.day))
                  .text(d.h % 10 == 0 ? "1" : "0")
                  .text(item.code)
                  .text(item.name)
                  .text(d.h % 3 == 0 ? customerName(d) : QByteArray("門市客戶"))
                  .text(salesman(d).code)
                  .text(salesman(d).name)
                  .text(warehouse(1 + d.warehouse % 3))
                  .real(count)
                  .text(item.unit)
                  .real(price)
                  .real(cents(count * price));
              if (kind < 2)
                  lines.null();
              else
                  lines.real(count);
              if (kind == 2)
                  lines.null();
              else
                  lines.real(price);
              lines.text("").text(serialCode(item, n)).row();
          },
          {});
}

void transferLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO TRAN1 (TCCOD, TSEQ, TICOD, TINAM, TSCO1, TSCO2, TNUMB, "
                 "TPOIN, TCOD1SEQ) VALUES (?,?,?,?,?,?,?,?,?)");
    Headers documents(w.db(), "MTRAN", "MCODE", "(MCODE, MDATE, MUSER, MBACK) VALUES (?,?,?,?)");
    w.run(
        Transfers, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(Transfers, n);
            const int target = 1 + int((d.h >> 40) % 3);
            lines.text(d.code)
                .integer(seq)
                .text(item.code)
                .text(item.name)
                .text(warehouse(d.warehouse == target ? 0 : d.warehouse))
                .text(warehouse(target))
                .real(double(1 + h % 12))
                .text(item.unit)
                .text(serialCode(item, n))
                .row();
        },
        [&](const Document& d) {
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(salesman(d).user)
                .text(d.h % 4 == 0 ? QByteArray("門市補貨") : QByteArray())
                .row();
        });
    documents.write();
}

// Purchase orders: most are received in full; open ones ('N') wait for part of the order.
void purchaseOrderLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINAM, SPNAM, STCOD, SINUM, "
                 "SONUM, SPOIN, SINYN, SBACK) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    Headers documents(w.db(), "SBIN", "SCOD1",
                      "(SCOD1, SDAT1, SDAT2, SPCOD, SPNAM, SINYN) VALUES (?,?,?,?,?,?)");
    const auto& vendors = ItemCatalogue::vendors();
    const auto open = [](const Document& d) { return d.h % 4 == 0; };
    w.run(
        PurchaseOrders, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(PurchaseOrders, n);
            const double ordered = double(qMax(1, item.boxSize) * (1 + h % 10));
            const double received = open(d) ? double((h >> 8) % quint64(ordered)) : ordered;
            lines.text(d.code)
                .integer(seq)
                .text(item.code)
                .text(item.name)
                .text(ItemCatalogue::vendors()[d.vendor].shortName)
                .text(warehouse(d.warehouse))
                .real(ordered)
                .real(received)
                .text(item.unit)
                .text(open(d) ? "N" : "Y")
                .text((h >> 16) % 9 == 0 ? QByteArray("請分批交貨") : QByteArray())
                .row();
        },
        [&](const Document& d) {
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(rocAfter(w.span(), d.day, 14 + int((d.h >> 20) % 30)))
                .text(vendors[d.vendor].code)
                .text(vendors[d.vendor].shortName)
                .text(open(d) ? "N" : "Y")
                .row();
        });
    documents.write();
}

// Customer orders: ONNO is what is still to deliver; OINU2 the quantity in the line's own
// unit (a box for some lines, missing for others).
void customerOrderLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OINAM, OCNAM, OSCOD, ITCOD, "
                 "OINUM, OINU2, OPOIN, ONNO, OINYN, OBACK, OCOD1SEQ) VALUES "
                 "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    Headers documents(w.db(), "ORDET", "OCOD1",
                      "(OCOD1, ODAT1, OPCOD, OCNAM, OSCOD) VALUES (?,?,?,?,?)");
    w.run(
        CustomerOrders, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(CustomerOrders, n);
            const bool boxed = !item.boxUnit.isEmpty() && h % 4 == 0;
            const double own = double(1 + (h >> 4) % 8);
            const double base = boxed ? own * item.boxSize : own;
            const int state = int((h >> 12) % 10);  // 0-4 open, 5-6 open (''), 7-9 delivered
            const double left = state >= 7 ? 0.0 : double(1 + (h >> 16) % quint64(own));
            lines.text(d.code)
                .integer(seq)
                .text(item.code)
                .text(item.name)
                .text(customerName(d))
                .text(salesman(d).code)
                .text(warehouse(d.warehouse))
                .real(base);
            if (!boxed && (h >> 24) % 10 < 3)
                lines.null();
            else
                lines.real(own);
            lines.text(boxed ? item.boxUnit : item.unit)
                .real(left)
                .text(state < 5   ? "N"
                      : state < 7 ? ""
                                  : "Y")
                .text((h >> 28) % 7 == 0 ? QByteArray("客戶自取") : QByteArray())
                .text("")
                .row();
        },
        [&](const Document& d) {
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(customerCode(d))
                .text(customerName(d))
                .text(salesman(d).code)
                .row();
        });
    documents.write();
}

// Repairs: the parts used on repair documents, and the customers' repair orders whose
// follow-up document (WCOD6) is a repair document dated when the item was picked up.
void repairLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO REBACKD (RCOD1, RSEQ, RPNAM, RSTA1, RICOD, RINAM, RTCOD, "
                 "RINU2, RPOIN) VALUES (?,?,?,?,?,?,?,?,?)");
    Headers documents(w.db(), "REBACKM", "RCOD1",
                      "(RCOD1, RDAT1, RPCOD, RPNAM, RSTAT, RSTA2, RTAKE) VALUES (?,?,?,?,?,?,?)");
    w.run(
        RepairParts, from, to,
        [&](Document& d, int seq, quint64 n, std::uint64_t h) {
            const Item& item = itemOf(RepairParts, n);
            lines.text(d.code)
                .integer(seq)
                .text(customerName(d))
                .text(h % 3 == 0 ? QByteArray("保固內") : QByteArray("保固外"))
                .text(item.code)
                .text(item.name)
                .text(warehouse(4))
                .real(double(1 + h % 2))
                .text(item.unit)
                .row();
        },
        [&](const Document& d) {
            // State values outside the lists (11, 8) happen too and show as empty texts.
            documents.insert()
                .text(d.code)
                .text(w.span().roc(d.day))
                .text(customerCode(d))
                .text(customerName(d))
                .integer(int(d.h % 12))
                .integer(int((d.h >> 8) % 9))
                .integer((d.h >> 16) % 3 == 0 ? 1 : 0)
                .row();
        });
    documents.write();
}

void repairOrders(Writer& w, quint64 from, quint64 to) {
    Insert orders(w.db(),
                  "INSERT INTO WORKER (WCOD2, WDAT1, WPCOD, WPNAM, WSC13, WSN13, WICOD, "
                  "WINAM, WTCOD, WINU2, WPOIN, WSTA1, WST12, WSTA2, WSTA4, WSTA6, WCOD6) "
                  "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    w.run(RepairOrders, from, to,
          [&](Document& d, int, quint64 n, std::uint64_t h) {
              const Item& item = itemOf(RepairOrders, n);
              const int pickedUp = int((h >> 20) % 3);
              orders.text(d.code)
                  .text(w.span().roc(d.day))
                  .text(customerCode(d))
                  .text(customerName(d))
                  .text(salesman(d).code)
                  .text(salesman(d).name)
                  .text(item.code)
                  .text(item.name)
                  .text(warehouse(4))
                  .real(1.0)
                  .text(item.unit)
                  .integer(int(h % 5))
                  .integer(int((h >> 4) % 4))
                  .integer(int((h >> 8) % 12))
                  .integer(int((h >> 12) % 9))
                  .integer(pickedUp);
              if (pickedUp == 1)
                  orders.text(rocAfter(w.span(), d.day, 3 + int((h >> 24) % 20)).replace('.', "") +
                              "0001");
              else
                  orders.null();
              orders.row();
          },
          {});
}

void receivedLines(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO SINOUT (SIONO, SINOU, SICODE, STTARG, ENUMB) VALUES "
                 "(?,?,?,?,?)");
    w.run(Received, from, to,
          [&](Document& d, int, quint64 n, std::uint64_t h) {
              lines.text(d.code)
                  .text(h % 10 < 7 ? "C" : "D")
                  .text(itemOf(Received, n).code)
                  .text(warehouse(d.warehouse))
                  .real(double(1 + (h >> 8) % 30))
                  .row();
          },
          {});
}

void serialHoldings(Writer& w, quint64 from, quint64 to) {
    Insert lines(w.db(),
                 "INSERT INTO SerialInOutTotal (SerialCode, ICODE, STCOD, Quantity) "
                 "VALUES (?,?,?,?)");
    w.run(Serials, from, to,
          [&](Document& d, int, quint64 n, std::uint64_t h) {
              const int q = int(h % 20);
              lines.text(h % 20 == 19 ? QByteArray() : "SN" + padded(qint64(n) + 1000000000, 10))
                  .text(itemOf(Serials, n).code)
                  .text(warehouse(d.warehouse))
                  .real(q < 3    ? 0.0
                        : q < 17 ? 1.0
                                 : double(q - 15))
                  .row();
          },
          {});
}

// Writes the lines numbered from `done` to `lines` of the sales history and the share of
// the others.
void generate(sqlite3* db, const Span& span, const QDate& recent, qint64 done, qint64 lines) {
    Writer w(db, span);
    const auto share = [](Table t, qint64 n) { return quint64(n * Shapes[t].perThousand / 1000); };
    const auto range = [&](Table t) { return std::pair(share(t, done), share(t, lines)); };
    const auto run = [&](Table t, auto&& writer) {
        const auto [from, to] = range(t);
        if (from < to) writer(w, from, to);
    };
    run(Sales, [](Writer& w, quint64 a, quint64 b) { salesLines(w, Sales, a, b); });
    run(SalesReturns, [](Writer& w, quint64 a, quint64 b) { salesLines(w, SalesReturns, a, b); });
    run(Purchases, [&](Writer& w, quint64 a, quint64 b) { purchaseLines(w, a, b, recent); });
    run(PurchaseReturns, purchaseReturnLines);
    run(PointOfSale, pointOfSaleLines);
    run(Transfers, transferLines);
    run(PurchaseOrders, purchaseOrderLines);
    run(CustomerOrders, customerOrderLines);
    run(RepairParts, repairLines);
    run(RepairOrders, repairOrders);
    run(Received, receivedLines);
    run(Serials, serialHoldings);
}

qint64 totalRows(SqliteConnection& db) {
    qint64 rows = 0;
    for (const char* table : HistoryTables)
        rows +=
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)).toLongLong();
    return rows;
}

// The items' quantities on order follow the open purchase orders and the open customer
// orders; ONNO counts the line's own unit, ORSUB the base unit.
void updateItemTotals(SqliteConnection& db) {
    db.exec(
        QStringLiteral("UPDATE ITEM SET ISISE = IFNULL((SELECT SUM(SINUM - SONUM) FROM SISE "
                       "WHERE SICOD = ICODE AND SINYN = 'N'), 0), ORSUB = IFNULL((SELECT "
                       "SUM(CASE WHEN IFNULL(OINU2, 0) = 0 THEN ONNO ELSE ONNO * OINUM / OINU2 "
                       "END) FROM ORSUB WHERE OICOD = ICODE AND OINYN IN ('N', '') AND ONNO > 0), "
                       "0)"));
}

// The busy item's locations in a large history: one for every 10,000 sales lines, and enough
// to fill a few pages of its location grid in a small one.
int busyLocations(qint64 lines) { return int(qMax<qint64>(30, lines / 10000)); }

const QDate LargeFirst(1991, 1, 1);   // 080.01.01
const QDate LargeLast(2010, 12, 31);  // 099.12.31
}  // namespace

qint64 fillDemo(SqliteConnection& db, const QDate& today) {
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM HISTIN")).toLongLong() > 0) return 0;
    qint64 added = 0;
    db.transaction([&] {
        const Span span(today.addDays(-729), today);
        generate(db.handle(), span, today.addYears(-1), 0, DemoLines);
        updateItemTotals(db);
        added = totalRows(db);
    });
    return added;
}

qint64 fillLarge(SqliteConnection& db, qint64 lines) {
    // Also an index added to the schema since the file was made is built over its lines.
    const BulkMode bulk(db);
    SuiteSchema::create(db);
    DemoData::fill(db, Clock::today());
    const qint64 done =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM HISTIN WHERE HCOD1 < '100'")).toLongLong();
    if (done >= lines) return 0;

    qint64 added = 0;
    db.transaction([&] {
        const qint64 before = totalRows(db);
        // Indexes are built faster in one pass over the finished tables than row by row.
        QStringList indexes;
        for (const char* table : HistoryTables)
            for (const QVariantList& row :
                 db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                         "AND tbl_name = ?1 AND sql IS NOT NULL"),
                          {QLatin1String(table)})
                     .rows)
                indexes.append(row[0].toString());
        for (const QString& index : indexes)
            db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index));
        const Span span(LargeFirst, LargeLast);
        generate(db.handle(), span, LargeLast, done, lines);
        ItemCatalogue::addBackRooms(db, ItemCatalogue::BusyItem, busyLocations(lines));
        SuiteSchema::create(db);
        updateItemTotals(db);
        added = totalRows(db) - before;
    });
    return added;
}
}  // namespace HistoryData

void FillLargeHistory(EmbeddedDatabase& db, qint64 lines) {
    HistoryData::fillLarge(db.connection(), lines);
}

void FillLargeCatalogue(EmbeddedDatabase& db, int items) {
    SqliteConnection& c = db.connection();
    SuiteSchema::create(c);
    if (!DemoData::isEmpty(c, "ITEM")) return;
    const HistoryData::BulkMode bulk(c);
    ItemCatalogue::fillCatalogue(c, Clock::today(), items);
}
