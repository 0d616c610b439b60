#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The demo company's group for the embedded database: four sister companies (ZqPro4 台北,
// ZqPro5 公益, ZqPro3 台中, ZqPro2 高雄), each a database file beside the main one with its
// stock in warehouse 001 (and, in 台中, open purchase orders), the group's central database
// ZqCentral with the network account and every branch's stock, and ZqGroup.ini describing
// them. A file that is there already is left as it is.
namespace GroupData {
constexpr const char* CentralCatalogue = "ZqCentral";
constexpr const char* DemoAccount = "A202400000168Z";

// Creates what is missing in the folder; gives a line for each file made.
QStringList create(const QString& folder, const QDate& today);
}  // namespace GroupData
