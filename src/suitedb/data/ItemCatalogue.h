#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <cstdint>

class SqliteConnection;

// The demo company's trade: 3,000 computer and office items in 20 groups, 400 customers,
// 60 vendors, 6 warehouses with their locations and the five salesmen of SALE. Every value
// is a pure function of an index, so that the demo data and the large benchmark history
// name the same items and partners without reading them back. Texts are UTF-8.
namespace ItemCatalogue {
struct Item {
    QByteArray code;  // group prefix and number, "MS0001"
    QByteArray name;
    QByteArray unit;         // base unit (IPOIN)
    QByteArray boxUnit;      // second unit (IPOI2), empty when the item has none
    QByteArray cartonUnit;   // third unit (IPOI3), empty when the item has none
    int boxSize = 0;         // base units per box (INUM2)
    int boxesPerCarton = 0;  // boxes per carton (INUM3)
    double price = 0;        // list price per base unit (IUNIT)
    double cost = 0;         // cost per base unit (ISOUR)
    bool serial = false;     // sold by serial number
    bool lot = false;        // bought in lots
    int vendor = 0;          // index of the main vendor
};

struct Partner {
    QByteArray code;
    QByteArray name;
    QByteArray shortName;
};

struct Salesman {
    const char* code;  // SCODE
    QByteArray name;
    const char* user;  // SUSER
    const char* department;
};

struct Warehouse {
    const char* code;
    QByteArray name;
};

const QList<Item>& items();
// The item of any index: the demo's for the first 3,000, then the groups' numbers go on
// ("MS0151" after "MS0150") for the benchmark's catalogues.
Item item(int index);
const QList<Partner>& customers();
const QList<Partner>& vendors();
const QList<Salesman>& salesmen();
const QList<Warehouse>& warehouses();  // ITYP rows of type '1'

// The item that holds about one line in twenty of every history table; unlike the others of
// its group it is bought in lots.
constexpr int BusyItem = 450;
// The customer of about one document in twenty (sales, returns, orders, repair orders).
constexpr int BusyCustomer = 12;

// A well-mixed 64-bit value for a key (splitmix64); the source of every choice.
std::uint64_t mix(std::uint64_t key);
inline std::uint64_t mix(std::uint64_t a, std::uint64_t b) { return mix(mix(a) ^ b); }

// The item of history line `line` of table `table`: BusyItem for about 5 % of the lines,
// else spread over all items with the low numbers of each group sold more often.
int itemForLine(std::uint64_t table, std::uint64_t line);

// Fills ITEM, ITEM1, ITEM3, CUST, PART, ITYP, PLACE, ITEMP and STOC where they are empty;
// returns the number of rows added. One item in a hundred has no stock anywhere, and about
// one in thirty is stopped (ITEM3.STOPSALE 1).
int fillMasters(SqliteConnection& db, const QDate& today);

// Gives the item of the index `count` locations in the warehouses' back rooms (ITEMP, with
// their PLACE rows), where it does not have them yet; returns the ITEMP rows added.
int addBackRooms(SqliteConnection& db, int index, int count);

// A benchmark's item master when ITEM is empty: the first `count` items (with ITEM1, ITEM3,
// STOC, ITEMP, warehouses and vendors), written in code order as the server's clustered key
// keeps them; returns the number of rows added.
qint64 fillCatalogue(SqliteConnection& db, const QDate& today, int count);
}  // namespace ItemCatalogue
