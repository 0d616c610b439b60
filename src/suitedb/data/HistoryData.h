#pragma once

#include <QDate>
#include <QtGlobal>

class EmbeddedDatabase;
class SqliteConnection;

// The item history of the demo company: sales (HISTIN with its documents POSEIN), sales
// returns (HISTOU), purchases with lots (VISEIN, BUYSIN, BUYSINCODE), purchase returns
// (VISEOU), point of sale (RETAILD), transfers (TRAN1, MTRAN), purchase orders (SISE,
// SBIN), customer orders (ORSUB, ORDET), repairs (REBACKD, REBACKM, WORKER), goods received
// (SINOUT) and serial holdings (SerialInOutTotal), over the items and partners of
// ItemCatalogue. Every line is a pure function of its table and number, so that the same
// call always writes the same rows. For every hundred sales lines there are about
//   8 sales return, 25 purchase, 3 purchase return, 12 point-of-sale, 8 transfer, 6 purchase
//   order, 6 customer order, 2 repair part, 2 repair order, 4 goods received lines and 3
//   serial holdings,
// and one item (ItemCatalogue::BusyItem, MS0001) holds about one line in twenty of each.
// Documents are coded by their ROC date and a four-digit number (yyymmddnnnn, 11
// characters).
namespace HistoryData {
// Sales lines of the demo history.
constexpr qint64 DemoLines = 20000;

// The demo history, dated over the two years up to the given day, when HISTIN is empty;
// returns the number of rows added.
qint64 fillDemo(SqliteConnection& db, const QDate& today);

// Adds benchmark history dated 080.01.01 to 099.12.31 until that span holds the given
// number of sales lines (and the other tables their share), and gives the busy item a
// location for every 10,000 sales lines (at least 30): nothing when it already does.
// Creates the schema and the demo data first where they are missing. Runs in one
// transaction and builds the history tables' indexes after the rows are in. Returns the
// number of rows added.
qint64 fillLarge(SqliteConnection& db, qint64 lines);
}  // namespace HistoryData

// The benchmark's entry: HistoryData::fillLarge on the database's connection. Not to be
// called while another thread uses the database.
void FillLargeHistory(EmbeddedDatabase& db, qint64 lines);

// The item list benchmark's database: the schema and ItemCatalogue::fillCatalogue of that
// many items, without history; nothing when ITEM holds items already. Same caveat.
void FillLargeCatalogue(EmbeddedDatabase& db, int items);
