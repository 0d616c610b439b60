#include "InquiryTables.h"

#include "Session.h"
#include "Values.h"

namespace InquiryTables {
namespace {
Mode later(const char* caption, const char* tip = "", bool itemBased = true, int right = 0,
           const char* rightMessage = "") {
    Mode m;
    m.caption = QString::fromUtf8(caption);
    m.toolTip = QString::fromUtf8(tip);
    m.itemBased = itemBased;
    m.right = right;
    m.rightMessage = QString::fromUtf8(rightMessage);
    return m;
}

Mode paged(const char* caption, const char* tip, HistoryGrid grid, int right = 0,
           const char* rightMessage = "") {
    Mode m = later(caption, tip, true, right, rightMessage);
    m.view = View::Paged;
    m.grid = grid;
    const HistoryGridInfo info = InfoOf(grid);
    m.gridName = info.name;
    m.emptyMessage = info.emptyMessage;
    return m;
}

Mode view(const char* caption, const char* tip, View kind, const char* grid, const char* empty,
          int right = 0, const char* rightMessage = "") {
    Mode m = later(caption, tip, true, right, rightMessage);
    m.view = kind;
    m.gridName = QString::fromLatin1(grid);
    m.emptyMessage = QString::fromUtf8(empty);
    return m;
}

const QList<Mode>& modes() {
    static const QList<Mode> all = [] {
        QList<Mode> m;
        m << later("F 產品查詢", "[F]查詢產品代號", false)
          << view("I 進貨查詢", "[I]查詢光棒停留位置上之產品代號所有進貨歷史", View::Purchases,
                  "DG3", "查無相關進貨資料", 353, "查廠商進貨權限不足")
          << paged("O 退貨查詢", "[O]查詢光棒停留位置上之產品代號所有進貨退出歷史",
                   HistoryGrid::PurchaseReturns, 353, "查廠商退貨權限不足")
          << later("J 廠商查詢", "[J]查詢廠商進貨歷史", false, 353, "權限不足")
          << paged("X 出貨查詢", "[X]查詢光棒停留位置上之產品代號所有銷貨歷史", HistoryGrid::Sales)
          << paged("B 銷退查詢", "[B]查詢光棒停留位置上之產品代號所有銷貨退回歷史",
                   HistoryGrid::SalesReturns)
          << later("Y 客戶查詢", "[Y]查詢客戶出貨歷史", false)
          << view("S 分倉查詢", "[S]查詢光棒停留位置上之產品代號所有分倉存量", View::WarehouseStock,
                  "DG11", "", 934, "沒有分倉查詢的權限");
        Mode close = later("Esc 離開", "", false);
        close.view = View::Close;
        m << close << later("K 佈告欄", "[K]佈告欄公告記錄異動處理", false)
          << paged("P 批號查詢", "", HistoryGrid::Lots)
          << paged("Q POS 查詢 ", "[Q]查詢光棒停留位置上之產品代號所有POS銷貨歷史",
                   HistoryGrid::PosSales)
          << paged("R POS 銷退", "[R]查詢光棒停留位置上之產品代號所有POS銷貨退回歷史",
                   HistoryGrid::PosReturns)
          << paged("T 調撥查詢", "[T]查詢光棒停留位置上之產品代號所有調撥歷史",
                   HistoryGrid::Transfers)
          << paged("N 採購未到", "[N]查詢光棒停留位置上之產品代號所有採購未到歷史",
                   HistoryGrid::OpenPurchases)
          << paged("L 訂單未出", "[L]查詢光棒停留位置上之產品代號所有訂單未出歷史",
                   HistoryGrid::OpenOrders)
          << paged("G 儲位查詢", "[G]查詢光棒停留位置上之產品代號所有分倉儲位",
                   HistoryGrid::Locations)
          << later("M 客戶維修", "[M]查詢客戶維修歷史", false) << later("H 統計查詢")
          << paged("U 維修耗料", "[U]查詢光棒停留位置上之產品代號所有維修耗料歷史",
                   HistoryGrid::RepairParts)
          << later("E 規格說明", "[E]查詢光棒停留位置上之產品規格說明")
          << later("A 批號查詢", "", false)
          << view("C 入庫查詢", "", View::GoodsReceived, "DG22", "尚無相關入庫資料可查詢")
          << later("Z 查外部碼", "", false)
          << view("D 保存查詢", "[D]查詢光棒停留位置上之產品代號所有保存批號歷史",
                  View::SerialHoldings, "DG23", "查無相關保存批號資料!");
        return m;
    }();
    return all;
}

using Columns = QList<RecordsetModel::Column>;
const QString Whole = QStringLiteral("#,##0");
const QString Amount = QStringLiteral("#,##0.00");

RecordsetModel::Column col(const char* caption, const char* field, const QString& format = {}) {
    return {QString::fromUtf8(caption), QString::fromLatin1(field), format};
}

// The branch-stock variant: P corrects the cost or shows the sisters' stock, Z the group's.
QList<Mode> variant(bool sisterStock) {
    QList<Mode> m = modes();
    m[10] = later(sisterStock ? "P 全省查詢" : "P 成本校正");
    m[23] = later("Z 全省庫存");
    return m;
}

const QList<Mode>& shownModes() {
    static const QList<Mode> correction = variant(false);
    static const QList<Mode> sisters = variant(true);
    const InstallationSwitches& on = Session::current().switches;
    if (!on.branchStockVariant) return modes();
    return on.branchStockQuery ? sisters : correction;
}
}  // namespace

const Mode& mode(int index) { return shownModes().at(index); }

int modeOfLetter(QChar letter) {
    const QChar upper = letter.toUpper();
    if (upper < u'A' || upper > u'Z') return -1;
    for (int i = 0; i < ModeCount; ++i)
        if (i != CloseMode && mode(i).caption.startsWith(upper)) return i;
    return -1;
}

QList<RecordsetModel::Column> columnsOf(const QString& grid) {
    static const QHash<QString, Columns> all = {
        {QStringLiteral("DG1"),
         {col("產品代號", "ICODE"), col("品名規格", "INAME"), col("說明", "ICONS"),
          col("單位", "IPOIN"), col("庫存量", "", Whole)}},
        {QStringLiteral("DG3"),
         {col("進貨單號", "VCOD1"), col("進貨日期", "VDAT1"), col("廠商名稱", "VPNAM"),
          col("倉庫", "VTCOD"), col("數量", "VINUM", Whole), col("單位", "VPOIN"),
          col("單價", "VUNIT", Amount), col("金額", "VTOTA", Amount), col("批號", "VCOD1SEQ")}},
        {QStringLiteral("DG7"),
         {col("單據號碼", "HCOD1"), col("客戶名稱", "HPNAM"), col("業務", "HSNAM"),
          col("倉庫", "HTCOD"), col("數量", "HINUM", Whole), col("單位", "HPOIN"),
          col("單價", "HUNIT", Amount), col("備註", "HCONS"), col("序號", "HCOD1SEQ"),
          col("稅", "TAXS")}},
        {QStringLiteral("DGB"),
         {col("單據號碼", "HCOD1"), col("客戶名稱", "HPNAM"), col("業務", "HSNAM"),
          col("倉庫", "HTCOD"), col("數量", "HINUM", Whole), col("單位", "HPOIN"),
          col("單價", "HUNIT", Amount), col("備註", "HCONS")}},
        {QStringLiteral("DGO"),
         {col("退出單號", "VCOD1"), col("廠商名稱", "VPNAM"), col("倉庫", "VTCOD"),
          col("數量", "VINUM", Whole), col("單位", "VPOIN"), col("單價", "VUNIT", Amount)}},
        {QStringLiteral("DG15"),
         {col("單據號碼", "RCOD1"), col("客戶名稱", "RPNAM"), col("業務", "RSNAM"),
          col("倉庫", "RTCOD"), col("數量", "RINUM", Whole), col("單位", "RPOIN"),
          col("單價", "RUNIT", Amount), col("備註", "RCONS"), col("序號", "RCOD1SEQ")}},
        {QStringLiteral("DG16"),
         {col("調撥單號", "TCCOD"), col("調撥人員", "MUSER"), col("調出倉", "TSCO1"),
          col("調出倉名稱", "TSNA1"), col("調入倉", "TSCO2"), col("調入倉名稱", "TSNA2"),
          col("數量", "TNUMB", Whole), col("單位", "TPOIN"), col("序號", "TCOD1SEQ")}},
        {QStringLiteral("DG17"),
         {col("採購單號", "SCOD1"), col("廠商名稱", "SPNAM"), col("採購量", "SINUM", Whole),
          col("單位", "SPOIN"), col("未到量", "SSNUM", Whole), col("預定到貨", "SDAT2"),
          col("備註", "SBACK")}},
        {QStringLiteral("DG18"),
         {col("訂單號碼", "OCOD1"), col("客戶名稱", "OCNAM"), col("倉庫", "ITCOD"),
          col("訂購量", "OINUM", Whole), col("單位", "OPOIN"), col("未出量", "ONNO", Whole),
          col("換算", "IPOIN"), col("訂單日期", "ODAT1"), col("備註", "OBACK"),
          col("序號", "OCOD1SEQ")}},
        {QStringLiteral("DG19"),
         {col("倉庫", "ITCOD"), col("儲位", "IICOD"), col("儲位名稱", "IINAM")}},
        {QStringLiteral("DG21"),
         {col("維修單號", "RCOD1"), col("項次", "RSEQ"), col("客戶名稱", "RPNAM"),
          col("狀態", "RSTA1"), col("料號", "RICOD"), col("品名", "RINAM"), col("倉庫", "RTCOD"),
          col("數量", "RINU2", Whole), col("單位", "RPOIN"), col("維修狀態", "RSTATN"),
          col("後送狀態", "RSTA2N")}},
        {QStringLiteral("DG13"),
         {col("批號", "VCOD1SEQ"), col("進貨單號", "VCOD1"), col("廠商名稱", "VPNAM"),
          col("單價", "VUNIT", Amount), col("進貨量", "VINUM", Whole),
          col("剩餘量", "VCOD1NUM", Whole)}},
        {QStringLiteral("DG14"), {col("倉庫", "STCOD"), col("數量", "INUMB", Whole)}},
        {QStringLiteral("DG11"),
         {col("倉庫", "STCOD"), col("倉庫名稱", "STNAM"), col("庫存量", "SNUMB", Whole),
          col("採購未到", "SNUM2", Whole)}},
        {QStringLiteral("DG22"),
         {col("入庫單號", "SIONO"), col("入庫對象", "STTARG"), col("數量", "ENUMB", Whole)}},
        {QStringLiteral("DG23"),
         {col("批號", "SerialCode"), col("倉庫", "STCOD"), col("倉庫名稱", "STNAM"),
          col("數量", "Quantity", Whole)}},
        // The lookups that start from a typed code: code lists and results.
        {QStringLiteral("DG4"), {col("廠商代號", "PCODE"), col("廠商名稱", "PNAM2")}},
        {QStringLiteral("DG8"), {col("客戶代號", "CCODE"), col("客戶名稱", "CNAM2")}},
        {QStringLiteral("DG5"),
         {col("產品代號", "ICODE"), col("品名規格", "INAME"), col("庫存量", "INUMB", Whole),
          col("說明", "ICONS")}},
        {QStringLiteral("DG9"),
         {col("產品代號", "ICODE"), col("品名規格", "INAME"), col("庫存量", "INUMB", Whole),
          col("說明", "ICONS")}},
        {QStringLiteral("DG6"),
         {col("進貨單號", "VCOD1"), col("廠商名稱", "VPNAM"), col("產品代號", "VICOD"),
          col("品名", "VINAM"), col("倉庫", "VTCOD"), col("數量", "VINUM", Whole),
          col("單位", "VPOIN"), col("單價", "VUNIT", Amount)}},
        {QStringLiteral("DG10"),
         {col("單據號碼", "HCOD1"), col("客戶名稱", "HPNAM"), col("業務", "HSNAM"),
          col("產品代號", "HICOD"), col("品名", "HINAM"), col("倉庫", "HTCOD"),
          col("數量", "HINUM", Whole), col("單位", "HPOIN"), col("單價", "HUNIT", Amount),
          col("稅", "TAXS")}},
        {QStringLiteral("DG20"),
         {col("客戶名稱", "WPNAM"), col("業務", "WSN13"), col("維修單號", "WCOD2"),
          col("產品代號", "WICOD"), col("品名", "WINAM"), col("倉庫", "WTCOD"),
          col("數量", "WINU2", Whole), col("單位", "WPOIN"), col("收件", "WSTA1N"),
          col("取件", "WST12N"), col("維修狀態", "WSTA2N"), col("後送狀態", "WSTA4N"),
          col("取件日期", "WSTA6N"), col("已取", "RTAKE")}},
        {QStringLiteral("DG09"),
         {col("產品代號", "ICODE"), col("品名規格", "INAME"), col("外部碼", "ICOD2")}},
        {QStringLiteral("DGR1"),
         {col("倉庫", "ITCOD"), col("倉庫名稱", "ITNAM"), col("庫存", "SNUMB", Whole)}},
    };
    return all.value(grid);
}

QStringList historyGridNames() {
    return {QStringLiteral("DG3"),  QStringLiteral("DG7"),  QStringLiteral("DGB"),
            QStringLiteral("DGO"),  QStringLiteral("DG15"), QStringLiteral("DG16"),
            QStringLiteral("DG17"), QStringLiteral("DG18"), QStringLiteral("DG19"),
            QStringLiteral("DG21"), QStringLiteral("DG13"), QStringLiteral("DG11"),
            QStringLiteral("DG22"), QStringLiteral("DG23")};
}

namespace {
// Captions by label index; the label after each caption shows its value.
struct Caption {
    int index;
    const char* text;
};
constexpr Caption Captions[] = {
    {0, "產品代號："},  {2, "品名："},      {6, "安全存量："},       {8, "目前訂單："},
    {10, "採購未到："}, {12, "EAN13碼："},  {14, "CODE128："},       {16, "廠商:"},
    {18, "含稅報價1:"}, {20, "建議售價："}, {22, "外部碼："},        {24, "產地："},
    {26, "單價2 ："},   {28, "單價3 ："},   {30, "單價4 ："},        {32, "最低 ："},
    {35, "網路最低："}, {37, "網路建議："}, {39, "網路特價："},      {41, "紅利倍數："},
    {43, "預定到貨："}, {45, "廠商特價："}, {49, "網路特價到期日:"}, {51, "庫存量："},
    {53, "倉庫："},     {55, "單位："},
};

QString text(const QVariant& v) { return v.isNull() ? QString() : v.toString().trimmed(); }

// An extension value: a number as a whole number, a text as stored, nothing for null.
QString extension(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return {};
    bool number = false;
    v.toString().toDouble(&number);
    return number ? FormatWhole(v) : v.toString();
}
}  // namespace

PanelTexts panelCaptions() {
    PanelTexts texts;
    for (const Caption& c : Captions) texts[c.index].text = QString::fromUtf8(c.text);
    if (Session::current().switches.branchStockVariant)
        texts[49].text = QStringLiteral("經銷商特價到期日:");
    return texts;
}

PanelTexts panelTexts(const std::function<QVariant(const QString&)>& field, const Session& s) {
    auto f = [&field](const char* name) { return field(QString::fromLatin1(name)); };
    auto masked = [&](int right, const char* name) {
        return s.hasRight(right) ? FormatAmount(f(name)) : QStringLiteral("********.**");
    };
    PanelTexts t = panelCaptions();
    t[1].text = text(f("ICODE"));
    t[3].text = text(f("INAME"));
    t[4].text = FormatWhole(f("INUM2")) + u' ' + text(f("IPOIN")) + QStringLiteral("=１") +
                text(f("IPOI2")) + QStringLiteral(" 售價 ") + FormatAmount(f("IUNI2"));
    t[5].text = FormatWhole(f("INUM3")) + u' ' + text(f("IPOI2")) + QStringLiteral("=１") +
                text(f("IPOI3")) + QStringLiteral(" 售價 ") + FormatAmount(f("IUNI3"));
    const double stock = f("INUMB").toDouble();
    const double safety = f("ISAVE").toDouble();
    t[7] = {FormatWhole(f("ISAVE")), stock < safety ? QColor(Qt::red) : QColor()};
    t[9] = {FormatWhole(f("ORSUB")), f("ORSUB").toDouble() > 0 ? QColor(Qt::blue) : QColor()};
    t[11] = {FormatWhole(f("ISISE")),
             f("ISISE").toDouble() > 0 ? QColor(0x00, 0x80, 0x00) : QColor()};
    t[13].text = text(f("ENA13"));
    t[15].text = text(f("CO128"));
    t[17].text = text(f("IPCOD")) + u' ' + text(f("IPNAM"));
    t[19].text = FormatAmount(f("IUNIT"));
    t[21].text = FormatAmount(f("IUNIT6"));
    t[23].text = text(f("ICOD2"));
    t[25].text = text(f("CH63"));
    t[27].text = masked(645, "IUNIT2");
    t[29].text = masked(646, "IUNIT3");
    t[31].text = masked(647, "IUNIT4");
    t[33].text = masked(648, "IUNIT5");
    t[34].text = QStringLiteral("1 箱裝 ") + FormatWhole(f("INUM7")) + u' ' + text(f("IPOI7"));
    t[36].text = extension(f("T1_10"));
    t[38].text = extension(f("T1_1"));
    t[40].text = extension(f("T1_2"));
    t[42].text = extension(f("T1_4"));
    t[44].text = extension(f("T1_0"));
    t[46].text = extension(f("T11_13"));
    t[47].text = extension(f("T11_15"));
    t[48].text = extension(f("T11_19"));
    t[50].text = extension(f("T11_11"));
    t[52].text = FormatWhole(f("INUMB"));
    t[54].text = text(f("STCOD"));
    t[56].text = text(f("IPOIN"));
    if (f("STOPSALE").toInt() == 1) t[57] = {QStringLiteral("停產"), QColor(Qt::red)};
    return t;
}
}  // namespace InquiryTables
