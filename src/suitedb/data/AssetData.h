#pragma once

#include <QDate>

class SqliteConnection;

// The demo company's fixed assets, around the given day:
//   Acco    a chart of accounts with the asset groups 1431 房屋及建築, 1441 機器設備,
//           1451 運輸設備, 1461 辦公設備, 1471 租賃改良, 1481 電腦通訊設備, each with its
//           accumulated depreciation account (1432 ... 1482), and the expense accounts
//           6125 折舊費用 and 5125 製造費用-折舊
//   JE      the closing date: the last day of the month before the given day
//   Asset   120 assets acquired over the last eight years (buildings earlier); some brought
//           in with an amount already amortised (ATOT2) and their remaining months; about
//           a tenth sold, most reviewed (AUSE3), some acquired this month
//   Assetd  each asset's split over one to three departments, shares totalling 100, the
//           amount of a line its share of the per-period amount
//   Assets  each asset's schedule (ASOUR empty): one line per month-end of its life, the
//           per-period amount each month and the rest in the last; and its postings (ASOUR
//           the voucher): the scheduled lines up to the closing date, or up to the sale
// Per asset ATOT3 = (ATOTA - ATOT1 - ATOT2) / AYEAR rounded to cents, ATOT5 = ATOTA - ATOT1 -
// ATOT2, ATOT4 = the sum of its postings.
namespace AssetData {
// Fills Acco, JE and the register where they are empty; returns the number of rows added.
int fill(SqliteConnection& db, const QDate& today);
}  // namespace AssetData
