#include "ItemCatalogue.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

#include "DemoData.h"
#include "SqliteConnection.h"
#include "Values.h"

namespace ItemCatalogue {
namespace {
using DemoData::isEmpty;
constexpr int ItemsPerGroup = 150;

struct Group {
    const char* prefix;
    const char* name;
    const char* unit;
    const char* boxUnit;  // "" when sold only by the piece
    const char* cartonUnit;
    int boxSize;
    int boxesPerCarton;
    int lowPrice;  // list price range of the group
    int highPrice;
    bool serial;
    bool lot;
    QList<const char*> brands;
    QList<const char*> specs;
};

const QList<Group>& groups() {
    static const QList<Group> list = {
        {"NB",
         "筆記型電腦",
         "台",
         "",
         "",
         0,
         0,
         18000,
         62000,
         true,
         false,
         {"華碩", "宏碁", "聯想", "微星", "技嘉"},
         {"14吋", "15.6吋", "16吋", "13.3吋輕薄"}},
        {"DT",
         "桌上型電腦",
         "台",
         "",
         "",
         0,
         0,
         15000,
         48000,
         true,
         false,
         {"華碩", "宏碁", "聯想", "戴爾"},
         {"i5/16G", "i7/32G", "R5/16G", "i3/8G"}},
        {"LCD",
         "液晶螢幕",
         "台",
         "",
         "",
         0,
         0,
         2990,
         15900,
         true,
         false,
         {"明基", "優派", "飛利浦", "華碩"},
         {"24吋", "27吋", "32吋曲面", "22吋"}},
        {"MS",
         "滑鼠",
         "個",
         "盒",
         "箱",
         10,
         10,
         290,
         1990,
         false,
         false,
         {"羅技", "微軟", "雷蛇", "艾芮克"},
         {"無線", "有線", "藍牙", "電競"}},
        {"KB",
         "鍵盤",
         "個",
         "盒",
         "箱",
         5,
         4,
         390,
         3990,
         false,
         false,
         {"羅技", "微軟", "櫻桃", "艾芮克"},
         {"無線", "有線", "機械式", "薄膜"}},
        {"RAM",
         "記憶體",
         "條",
         "盒",
         "箱",
         10,
         10,
         890,
         5990,
         false,
         true,
         {"金士頓", "美光", "威剛", "宇瞻"},
         {"DDR4-3200 8G", "DDR4-3200 16G", "DDR5-4800 16G", "DDR5-5600 32G"}},
        {"SSD",
         "固態硬碟",
         "個",
         "盒",
         "箱",
         10,
         5,
         990,
         7990,
         false,
         true,
         {"金士頓", "三星", "威剛", "創見"},
         {"500G", "1TB", "2TB", "256G"}},
        {"HDD",
         "硬碟",
         "個",
         "箱",
         "",
         20,
         0,
         1590,
         8990,
         false,
         true,
         {"希捷", "威騰", "東芝"},
         {"1TB", "2TB", "4TB", "8TB"}},
        {"PRN",
         "印表機",
         "台",
         "",
         "",
         0,
         0,
         2990,
         29900,
         true,
         false,
         {"愛普生", "惠普", "兄弟", "佳能"},
         {"噴墨", "雷射", "多功能事務機", "標籤"}},
        {"INK",
         "墨水匣",
         "個",
         "盒",
         "箱",
         12,
         4,
         290,
         1490,
         false,
         true,
         {"愛普生", "惠普", "佳能"},
         {"黑色", "彩色", "大容量黑", "青色"}},
        {"TON",
         "碳粉匣",
         "支",
         "箱",
         "",
         10,
         0,
         990,
         4990,
         false,
         true,
         {"惠普", "兄弟", "富士全錄"},
         {"黑色", "高容量", "環保"}},
        {"PAP",
         "影印紙",
         "包",
         "箱",
         "",
         5,
         0,
         129,
         289,
         false,
         false,
         {"Double A", "PaperOne", "百樂"},
         {"A4 70磅", "A4 80磅", "A3 80磅", "B4 70磅"}},
        {"CBL",
         "傳輸線",
         "條",
         "包",
         "箱",
         20,
         10,
         99,
         890,
         false,
         false,
         {"大通", "安伯特", "綠聯"},
         {"HDMI 1.5米", "USB-C 1米", "網路線 3米", "DP 2米"}},
        {"NET",
         "網路設備",
         "台",
         "",
         "",
         0,
         0,
         990,
         12900,
         true,
         false,
         {"友訊", "華碩", "TP-Link", "合勤"},
         {"無線路由器", "8埠交換器", "網路儲存", "Mesh"}},
        {"UPS",
         "不斷電系統",
         "台",
         "",
         "",
         0,
         0,
         2490,
         18900,
         true,
         false,
         {"飛瑞", "科風", "APC"},
         {"600VA", "1KVA", "2KVA在線式", "3KVA在線式"}},
        {"USB",
         "隨身碟",
         "個",
         "盒",
         "箱",
         50,
         10,
         149,
         1290,
         false,
         true,
         {"創見", "威剛", "金士頓", "宇瞻"},
         {"32G", "64G", "128G", "256G"}},
        {"CAM",
         "網路攝影機",
         "台",
         "",
         "",
         0,
         0,
         690,
         4990,
         false,
         false,
         {"羅技", "微軟", "艾芮克"},
         {"720P", "1080P", "2K", "4K"}},
        {"SPK",
         "喇叭",
         "組",
         "",
         "",
         0,
         0,
         390,
         6990,
         false,
         false,
         {"創巧", "羅技", "漫步者"},
         {"2.0聲道", "2.1聲道", "藍牙", "USB"}},
        {"HUB",
         "集線器",
         "個",
         "盒",
         "",
         10,
         0,
         199,
         1990,
         false,
         false,
         {"安伯特", "綠聯", "伽利略"},
         {"USB 4埠", "USB-C 7合1", "USB 3.0 4埠", "讀卡機"}},
        {"PWR",
         "電源供應器",
         "個",
         "箱",
         "",
         10,
         0,
         1190,
         6990,
         false,
         false,
         {"海韻", "全漢", "振華", "酷碼"},
         {"550W", "650W金牌", "750W金牌", "850W白金"}},
    };
    return list;
}

QByteArray number(const char* prefix, int n, int width) {
    return QByteArray(prefix) + QByteArray::number(n).rightJustified(width, '0');
}

double roundedPrice(double value) {
    return value >= 1000 ? std::round(value / 10) * 10 : std::round(value);
}

// Items beyond the demo's 3,000 continue the numbers of every group in blocks of 3,000.
Item makeItem(int index) {
    const int perBlock = ItemsPerGroup * int(groups().size());
    const int within = index % perBlock;
    const Group& g = groups()[within / ItemsPerGroup];
    const int n = index / perBlock * ItemsPerGroup + within % ItemsPerGroup;
    const std::uint64_t h = mix(0x17E3, std::uint64_t(index));
    Item item;
    item.code = number(g.prefix, n + 1, 4);
    item.name = QByteArray(g.brands[int(h % g.brands.size())]) + ' ' + g.name + ' ' +
                g.specs[int((h >> 8) % g.specs.size())] + ' ' + QByteArray(g.prefix).left(2) + '-' +
                QByteArray::number(100 + (h >> 16) % 900);
    item.unit = g.unit;
    item.boxUnit = g.boxUnit;
    item.cartonUnit = g.cartonUnit;
    item.boxSize = g.boxSize;
    item.boxesPerCarton = g.boxesPerCarton;
    item.price =
        roundedPrice(g.lowPrice + double((h >> 24) % 1000) / 1000.0 * (g.highPrice - g.lowPrice));
    item.cost = std::round(item.price * (0.70 + double((h >> 34) % 12) / 100.0));
    item.serial = g.serial;
    // The busy item is bought in lots too, so that its lot grid has its share of the lines.
    item.lot = g.lot || index == BusyItem;
    item.vendor = int((h >> 40) % 60);
    return item;
}

QList<Partner> makePartners(int count, const QList<const char*>& cores,
                            const QList<const char*>& trades, const char* prefix,
                            const char* suffix) {
    QList<Partner> list;
    for (int i = 0; i < count; ++i) {
        const QByteArray shortName =
            QByteArray(cores[i % cores.size()]) + trades[(i / cores.size()) % trades.size()];
        list.append(
            {number(prefix, i + 1, 4), shortName + (i % 3 == 0 ? "有限公司" : suffix), shortName});
    }
    return list;
}

// EAN-13 with its check digit, from twelve digits.
QByteArray ean13(const QByteArray& twelve) {
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (twelve[i] - '0') * (i % 2 ? 3 : 1);
    return twelve + char('0' + (10 - sum % 10) % 10);
}

QString text(const QByteArray& utf8) { return QString::fromUtf8(utf8); }

QVariant orNull(bool present, const QVariant& value) { return present ? value : QVariant(); }

const char* const Cities[] = {"台北市", "新北市", "桃園市", "台中市", "台南市", "高雄市"};
const char* const Roads[] = {"中山路", "民生東路", "復興北路", "中正路", "文心路", "成功路"};

QString address(std::uint64_t h) {
    return QStringLiteral("%1%2%3號%4樓")
        .arg(QString::fromUtf8(Cities[h % 6]), QString::fromUtf8(Roads[(h >> 8) % 6]))
        .arg(1 + (h >> 16) % 300)
        .arg(1 + (h >> 32) % 12);
}

QString telephone(std::uint64_t h) {
    static const char* const areas[] = {"02", "02", "03", "04", "06", "07"};
    return QStringLiteral("(%1)%2-%3")
        .arg(QLatin1String(areas[h % 6]))
        .arg(2000 + (h >> 8) % 8000)
        .arg((h >> 24) % 10000, 4, 10, QLatin1Char('0'));
}

// An item's stock in the first four warehouses: quantity and shelf. Some items are out of
// stock or below their safety stock; one in a hundred has none anywhere.
struct StockRow {
    int warehouse;
    double quantity;
    QString shelf;
};

QList<StockRow> stockOf(int index) {
    QList<StockRow> rows;
    const std::uint64_t h = mix(0x570C, std::uint64_t(index));
    for (int w = 0; w < 4; ++w) {
        if (w > 0 && (h >> (w * 8)) % 3 == 0) continue;
        const double quantity =
            index % 100 == 99 ? 0.0 : double((h >> (w * 8 + 2)) % (w == 0 ? 120 : 30));
        rows.append({w, quantity,
                     QStringLiteral("%1%2")
                         .arg(QLatin1Char(char('A' + (h >> (w * 4)) % 3)))
                         .arg(1 + (h >> (w * 4 + 2)) % 6, 2, 10, QLatin1Char('0'))});
    }
    return rows;
}

// ITEM, ITEM1 and ITEM3 of one item; its stock total is the sum of stockOf.
void writeItem(SqliteConnection& db, const QDate& today, int i, const Item& it) {
    const std::uint64_t h = mix(0x17E4, std::uint64_t(i));
    const bool box = !it.boxUnit.isEmpty();
    const bool carton = !it.cartonUnit.isEmpty();
    const QByteArray vendorName = vendors()[it.vendor].shortName;
    const QString sheet = QStringLiteral("<h3>%1</h3><ul><li>單位:%2</li><li>保固:%3年</li></ul>")
                              .arg(text(it.name), text(it.unit))
                              .arg(1 + h % 3);
    double stock = 0;
    for (const StockRow& row : stockOf(i)) stock += row.quantity;
    db.exec(QStringLiteral("INSERT INTO ITEM (ICODE, INAME, ICONS, IPOIN, ISAVE, INUM2, IPOI2, "
                           "IUNI2, INUM3, IPOI3, IUNI3, IPCOD, IPNAM, IUNIT, IUNIT2, IUNIT3, "
                           "IUNIT4, IUNIT5, IUNIT6, ICOD2, CH63, INUM7, IPOI7, ISOUR, ISPACE, "
                           "INUMB) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, "
                           "?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, "
                           "?26)"),
            {text(it.code),
             text(it.name),
             QStringLiteral("型號%1").arg(h % 9000 + 1000),
             text(it.unit),
             double(5 * (1 + (h >> 4) % 8)),
             double(it.boxSize),
             text(it.boxUnit),
             box ? roundedPrice(it.price * it.boxSize * 0.95) : 0.0,
             double(it.boxesPerCarton),
             text(it.cartonUnit),
             carton ? roundedPrice(it.price * it.boxSize * it.boxesPerCarton * 0.9) : 0.0,
             text(vendors()[it.vendor].code),
             text(vendorName),
             it.price,
             roundedPrice(it.price * 0.97),
             roundedPrice(it.price * 0.95),
             roundedPrice(it.price * 0.92),
             roundedPrice(it.price * 0.88),
             roundedPrice(it.price * 1.1),
             h % 5 < 2 ? QStringLiteral("EX-%1").arg(it.code.constData()) : QString(),
             QString::fromUtf8(h % 4 == 0   ? "台灣"
                               : h % 4 == 1 ? "中國"
                                            : "越南"),
             double(box ? it.boxSize * qMax(1, it.boxesPerCarton) : 1),
             text(it.unit),
             it.cost,
             sheet,
             stock});
    // Some bar codes are kept with leading zeros: typing their last ten digits finds them.
    const QByteArray twelve = i % 25 == 0 ? "000" + QByteArray::number(471000000 + i)
                                          : "471" + QByteArray::number(200000000 + i);
    const bool network = h % 10 < 3;
    db.exec(QStringLiteral("INSERT INTO ITEM1 (ICODE1, ENA13, CO128, ISOUR2, T1_0, T1_1, T1_2, "
                           "T1_4, T1_10) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
            {text(it.code), text(ean13(twelve)), QStringLiteral("ZQ%1").arg(100000 + i), it.cost,
             orNull(network, DateToRoc(today.addDays(7 + int(h % 30)))),
             orNull(network, roundedPrice(it.price * 0.95)),
             orNull(network, roundedPrice(it.price * 0.9)), orNull(network, double(1 + h % 3)),
             orNull(network, roundedPrice(it.price * 0.86))});
    const bool dealer = h % 10 == 9;
    db.exec(
        QStringLiteral("INSERT INTO ITEM3 (ICODE3, STOPSALE, T11_11, T11_13, T11_15, "
                       "T11_19) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        {text(it.code), (h >> 20) % 30 == 0 ? 1 : 0, orNull(dealer, DateToRoc(today.addMonths(1))),
         orNull(dealer, roundedPrice(it.price * 0.85)),
         orNull(dealer, roundedPrice(it.price * 0.83)),
         orNull(dealer, roundedPrice(it.price * 0.8))});
}

int fillItems(SqliteConnection& db, const QDate& today) {
    const QList<Item>& list = ItemCatalogue::items();
    for (int i = 0; i < list.size(); ++i) writeItem(db, today, i, list[i]);
    return int(list.size()) * 3;
}

int fillPartners(SqliteConnection& db, const char* table, const QList<Partner>& list,
                 std::uint64_t salt) {
    const bool customers = qstrcmp(table, "CUST") == 0;
    const QString sql = customers ? QStringLiteral(
                                        "INSERT INTO CUST (CCODE, CNAME, CNAM2, CUNI, "
                                        "CTEL, CADDR, CSCOD) VALUES (?1, ?2, ?3, ?4, "
                                        "?5, ?6, ?7)")
                                  : QStringLiteral(
                                        "INSERT INTO PART (PCODE, PNAME, PNAM2, PUNI, "
                                        "PTEL, PADDR) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (int i = 0; i < list.size(); ++i) {
        const std::uint64_t h = mix(salt, std::uint64_t(i));
        QVariantList values = {text(list[i].code),
                               text(list[i].name),
                               text(list[i].shortName),
                               QStringLiteral("%1").arg(10000000 + h % 89999999),
                               telephone(h),
                               address(h >> 3)};
        if (customers) values.append(QLatin1String(salesmen()[int(h % 4)].code));
        db.exec(sql, values);
    }
    return int(list.size());
}

int fillPlaces(SqliteConnection& db) {
    int rows = 0;
    for (const Warehouse& w : warehouses()) {
        // Shelf codes of two widths on purpose: "A1" and "A01" interleave in key order.
        for (int shelf = 0; shelf < 4; ++shelf)
            for (int n = 1; n <= 6; ++n) {
                const QString code = shelf == 3 ? QStringLiteral("D%1").arg(n)
                                                : QStringLiteral("%1%2")
                                                      .arg(QLatin1Char(char('A' + shelf)))
                                                      .arg(n, 2, 10, QLatin1Char('0'));
                db.exec(
                    QStringLiteral("INSERT INTO PLACE (PTCOD, PICOD, PINAM) VALUES (?1, ?2, "
                                   "?3)"),
                    {QLatin1String(w.code), code,
                     QStringLiteral("%1 %2 區第 %3 層").arg(text(w.name)).arg(shelf + 1).arg(n)});
                ++rows;
            }
    }
    return rows;
}

// STOC and ITEMP of one item; returns the rows written.
int writeStock(SqliteConnection& db, int index, const QString& code) {
    const QList<StockRow> rows = stockOf(index);
    for (const StockRow& row : rows) {
        const Warehouse& house = warehouses()[row.warehouse];
        db.exec(QStringLiteral("INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES (?1, ?2, ?3, "
                               "?4)"),
                {code, QLatin1String(house.code), text(house.name), row.quantity});
        db.exec(QStringLiteral("INSERT INTO ITEMP (ICODE, ITCOD, IICOD) VALUES (?1, ?2, ?3)"),
                {code, QLatin1String(house.code), row.shelf});
    }
    return int(rows.size()) * 2;
}

int fillStock(SqliteConnection& db) {
    int rows = 0;
    const QList<Item>& list = ItemCatalogue::items();
    for (int i = 0; i < list.size(); ++i) rows += writeStock(db, i, text(list[i].code));
    return rows;
}

// A location of one of the warehouses' back rooms, with its name: "R001" to "R999" in each.
std::pair<const Warehouse&, QString> backRoom(int n) {
    const Warehouse& house = warehouses()[n % warehouses().size()];
    return {house, QStringLiteral("R%1").arg(1 + n / warehouses().size(), 3, 10, QLatin1Char('0'))};
}

int fillWarehousesAndVendors(SqliteConnection& db) {
    int rows = 0;
    if (isEmpty(db, "ITYP")) {
        for (const Warehouse& w : warehouses())
            db.exec(QStringLiteral("INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', ?1, ?2)"),
                    {QLatin1String(w.code), text(w.name)});
        for (int g = 0; g < groups().size(); ++g)
            db.exec(QStringLiteral("INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('2', ?1, ?2)"),
                    {QLatin1String(groups()[g].prefix), QString::fromUtf8(groups()[g].name)});
        rows += int(warehouses().size() + groups().size());
    }
    if (isEmpty(db, "PART")) rows += fillPartners(db, "PART", vendors(), 0x9A27);
    return rows;
}
}  // namespace

std::uint64_t mix(std::uint64_t key) {
    std::uint64_t z = key + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int itemForLine(std::uint64_t table, std::uint64_t line) {
    const std::uint64_t h = mix(table, line);
    if (h % 20 == 0) return BusyItem;
    const int count = int(items().size());
    const int group = int((h >> 8) % (count / ItemsPerGroup));
    // Squaring a uniform number favours the low numbers of the group.
    const std::uint64_t u = (h >> 16) % 1000;
    return group * ItemsPerGroup + int(u * u * ItemsPerGroup / 1000000);
}

const QList<Item>& items() {
    static const QList<Item> list = [] {
        QList<Item> out;
        for (int i = 0; i < ItemsPerGroup * int(groups().size()); ++i) out.append(makeItem(i));
        return out;
    }();
    return list;
}

const QList<Partner>& customers() {
    static const QList<Partner> list = makePartners(
        400, {"宏遠", "鼎泰", "大同", "聯發", "永信", "佳和", "國泰", "新光", "華新", "立達",
              "全興", "順發", "誠品", "光寶", "瑞昱", "群益", "富邦", "長榮", "元大", "統一",
              "正隆", "欣興", "建大", "台達", "東元", "士林", "和泰", "裕隆", "味全", "南僑",
              "益航", "中興", "昇陽", "達興", "泰山", "嘉新", "慶豐", "大立", "合勤", "凌群"},
        {"資訊", "電腦", "企業", "科技", "文具", "工程", "貿易", "實業", "設計", "診所"}, "C",
        "股份有限公司");
    return list;
}

const QList<Partner>& vendors() {
    static const QList<Partner> list = makePartners(
        60, {"聯強", "精技", "捷元", "建達", "展碁", "大聯", "神腦", "震旦", "敦陽", "零壹",
             "宏正", "崇越", "友尚", "益登", "威健", "文曄", "全科", "至上", "品佳", "世平"},
        {"國際", "電子", "資訊"}, "P", "股份有限公司");
    return list;
}

const QList<Salesman>& salesmen() {
    static const QList<Salesman> list = {
        {"S002", QByteArray("李志明"), "LEE", "02"},
        {"S004", QByteArray("陳建宏"), "CHEN", "04"},
        {"S003", QByteArray("王美華"), "WANG", "03"},
        {"S001", QByteArray("系統管理員"), "ADM", "05"},
        {"S005", QByteArray("林淑芬"), "LIN", "02"},
    };
    return list;
}

const QList<Warehouse>& warehouses() {
    static const QList<Warehouse> list = {
        {"01", QByteArray("總倉")},       {"02", QByteArray("台北門市倉")},
        {"03", QByteArray("台中門市倉")}, {"04", QByteArray("高雄門市倉")},
        {"05", QByteArray("維修倉")},     {"06", QByteArray("瑕疵品倉")},
    };
    return list;
}

Item item(int index) { return index < items().size() ? items()[index] : makeItem(index); }

int fillMasters(SqliteConnection& db, const QDate& today) {
    int rows = 0;
    db.transaction([&] {
        rows += fillWarehousesAndVendors(db);
        if (isEmpty(db, "CUST")) rows += fillPartners(db, "CUST", customers(), 0xC057);
        if (isEmpty(db, "ITEM")) rows += fillItems(db, today);
        if (isEmpty(db, "PLACE")) rows += fillPlaces(db);
        if (isEmpty(db, "STOC")) rows += fillStock(db);
    });
    return rows;
}

int addBackRooms(SqliteConnection& db, int index, int count) {
    const QString code = text(item(index).code);
    int added = 0;
    for (int n = 0; n < count; ++n) {
        const auto [house, shelf] = backRoom(n);
        db.exec(
            QStringLiteral("INSERT OR IGNORE INTO PLACE (PTCOD, PICOD, PINAM) VALUES (?1, ?2, ?3)"),
            {QLatin1String(house.code), shelf,
             QStringLiteral("%1 後場 %2").arg(text(house.name), shelf)});
        added +=
            int(db.exec(QStringLiteral("INSERT INTO ITEMP (ICODE, ITCOD, IICOD) SELECT ?1, ?2, ?3 "
                                       "WHERE NOT EXISTS (SELECT 1 FROM ITEMP WHERE ICODE = ?1 "
                                       "AND ITCOD = ?2 AND IICOD = ?3)"),
                        {code, QLatin1String(house.code), shelf}));
    }
    return added;
}

qint64 fillCatalogue(SqliteConnection& db, const QDate& today, int count) {
    if (!isEmpty(db, "ITEM")) return 0;
    qint64 rows = 0;
    db.transaction([&] {
        rows += fillWarehousesAndVendors(db);
        QList<std::pair<QByteArray, int>> order;
        order.reserve(count);
        for (int i = 0; i < count; ++i) order.append({item(i).code, i});
        std::sort(order.begin(), order.end());
        for (const auto& [code, index] : order) {
            writeItem(db, today, index, item(index));
            rows += 3 + writeStock(db, index, text(code));
        }
    });
    return rows;
}
}  // namespace ItemCatalogue
