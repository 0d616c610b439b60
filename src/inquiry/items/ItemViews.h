#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

struct CompanyGroup;
struct ResultSet;

// The statements and texts of the item entry, statistics, description and branch-stock
// views of the inquiry window; no widgets.
namespace ItemViews {
// ---- Item entry (mode F)
// What leaving the code field tries, in order, until one finds the item: the suite's item
// procedure, the code itself, the text as an EAN-13 bar code (filled with zeros in front to
// 13 characters), as a CODE128 bar code.
QStringList resolution(const QString& text);
// "確定": the item by its name (when no code is typed) or by its code.
QString byName(const QString& name);
QString byCode(const QString& code);
// The first page of the item code list DG2 for the typed code's beginning.
QString codeListFirstPage(const QString& typed);
constexpr const char* NoItem = "查無相關產品資料";

// ---- Statistics (mode H)
QString counts(const QString& item);
// The captions of T5(0..14).
QStringList countCaptions();

// ---- Description page (mode E)
// The page written to Html.htm for the text: head, text, tail, in the Big5 code page, any
// character Big5 cannot hold as a numeric character reference.
QByteArray htmlPage(const QString& text);
constexpr const char* HtmlFileName = "Html.htm";
// Whether the page renders the text as markup: at most 512 KB and 64 levels of elements that
// must be closed (tables, lists, divisions, inline styles ...); beyond, it shows the text as
// text, since the renderer's time and stack grow with both.
constexpr qsizetype MaxMarkupChars = 512 * 1024;
constexpr int MaxMarkupDepth = 64;
bool rendersAsMarkup(const QString& text);
// Whether the page wraps its lines anywhere instead of at the edges of words: when the text
// holds a run of more than 1,024 characters without a blank, since finding the edges of such a
// word costs the square of its length (a 64 K word half a second, 2 MB minutes).
constexpr qsizetype MaxWordChars = 1024;
bool wrapsAnywhere(QStringView text);
// What the page shows of a text it does not render as markup: its first 256 K characters (the
// file holds all of it), since laying out megabytes takes seconds and the page is shown again
// whenever the typing pauses.
constexpr qsizetype MaxPlainPageChars = 256 * 1024;
QString plainPage(const QString& text);
// The file a reference of the page may load: a regular file of at most 4 MB inside the folder
// (after links are resolved), named relative to it or as a local file without a host; empty for
// anything else (another host, a network share, a device, a FIFO, a folder, a larger file).
constexpr qint64 MaxResourceBytes = 4 * 1024 * 1024;
QString resourceFile(const QString& folder, const QUrl& name);

// ---- Branch-stock variant
// "P 成本校正": the item's last purchase price, then the item's row whose cost it sets.
QString lastPurchasePrice(const QString& item);
QString itemRow(const QString& item);
constexpr const char* NoLastPurchase = "沒有最後一次進貨紀錄,無法校正";
QString correctedMessage(const QVariant& price);
// "P 全省查詢": the stock of the sister companies and the earliest open purchase's date.
QString sisterStock(const QString& item);
// Its message: the item, then a line per column.
QString sisterStockMessage(const QString& item, const QString& name, const ResultSet& row);
// "Z 全省庫存": the connection to the group's central server and the call on it; empty
// connection when the installation has no central server.
QString centralConnection(const CompanyGroup& group);
QString centralStock(const QString& account, const QString& item);
constexpr const char* NoCentral = "尚未設定集團總部資料庫,無法查詢全省庫存";
constexpr const char* NoBranchStock = "查無該產品之全省庫存資料";
}  // namespace ItemViews
