// The statement texts of the item inquiry window, with values pasted in as the module pastes
// them, checked against the rows the suite's server gives on a few hand-made rows: the paged
// history grids and their composite keys, the stock lots, the views without paging, the
// vendor, customer and code lookups, and the item entry.
#include <QtTest>

#include "SqliteConnection.h"
#include "SuiteSchema.h"
#include "TsqlCorpus.h"

using TsqlCorpus::Case;

namespace {
// The rows, in SQLite's words. The highlighted item is MS0451; S001 is the user's salesman
// code, 02 the department, C001 and P001 the customer and vendor typed.
const char* const Rows =
    "INSERT INTO ITEM (ICODE, INAME, ICONS, IPOIN, INUMB, ICOD2, ISOUR) VALUES"
    "  ('MS0451', '滑鼠', '光學滑鼠', '個', 12, 'A-100', 100),"
    "  ('MS0452', '滑鼠 ', '無線滑鼠', '個', 0, '', 0),"
    "  ('KB0001', '鍵盤', '有線鍵盤', '個', 3, 'a-050', 0),"
    "  ('HD0001', '硬碟', '外接硬碟', '台', 1, 'A-200', 0),"
    "  ('CB0001', '線材', '傳輸線', '條', 50, 'A-300', 0);"
    "INSERT INTO ITEM1 (ICODE1, ENA13, CO128, ISOUR2) VALUES"
    "  ('MS0451', '0004719512345', 'C128MS', 78.5), ('KB0001', '4719512340000', '', 0),"
    "  ('HD0001', '4719512340017', '', 0);"
    "INSERT INTO ITEM3 (ICODE3, STOPSALE) VALUES ('MS0451', 0), ('KB0001', 0), ('HD0001', 1),"
    "  ('CB0001', 0);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 17)"
    "  INSERT INTO CUST (CCODE, CNAM2) SELECT printf('C%03d', i), printf('客戶%02d', i) FROM n;"
    "INSERT INTO CUST (CCODE, CNAM2) VALUES ('D001', '其他客戶');"
    "INSERT INTO PART (PCODE, PNAM2) VALUES ('P001', '聯強'), ('P002', '精技'), ('Q001', '其他');"
    "INSERT INTO ITYP (ITYPE, ITCOD, ITNAM) VALUES ('1', '001', '台北倉'), ('1', '002', '台中倉'),"
    "  ('2', '001', '其他類別');"
    "INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES ('MS0451', '001', '台北倉', 7),"
    "  ('MS0451', '002', '台中倉', 3), ('MS0451', '003', '高雄倉', 0),"
    "  ('KB0001', '001', '台北倉', 9);"
    // Purchase orders: one line fully received, one closed, one of another item.
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SPNAM, STCOD, SINUM, SONUM, SINYN, SPOIN) VALUES"
    "  ('11401050001', 1, 'MS0451', '聯強', '001', 10, 0, 'N', '個'),"
    "  ('11401050001', 2, 'MS0451', '聯強', '001', 10, 10, 'N', '個'),"
    "  ('11402010002', 1, 'MS0451', '精技', '002', 5, 1, 'N', '個'),"
    "  ('1140301', 12, 'MS0451', '聯強', '001', 3, 0, 'N', '個'),"
    "  ('11401050001', 3, 'KB0001', '聯強', '001', 10, 0, 'N', '個'),"
    "  ('11312010001', 1, 'MS0451', '聯強', '002', 8, 0, 'Y', '個');"
    "INSERT INTO SBIN (SCOD1, SDAT2, SINYN) VALUES ('11402010002', '114.02.20', 'N'),"
    "  ('1140301', '114.03.09', 'N');"
    // Sales: in dozens without a price, in the base unit, taxed or not, one hidden.
    "INSERT INTO HISTIN (HCOD1, HSEQ, HICOD, HINAM, HPCOD, HPNAM, HSCOD, HSNAM, HDENO, HTCOD,"
    "  HINUM, HPOIN, HTOTA, HINU3, HPOI3, HUNI3, HCONS, HCOD1SEQ, SystemVisible) VALUES"
    "  ('11401050001', 1, 'MS0451', '滑鼠', 'C001', '大同公司', 'S001', '王美華', '02', '001',"
    "   12, '個', 1200, 1, '打', NULL, '', '', 1),"
    "  ('11401050001', 2, 'MS0451', '滑鼠', 'C001', '大同公司', 'S001', '王美華', '02', '001',"
    "   3, '個', 300, NULL, '', NULL, '', '', 1),"
    "  ('11403100005', 1, 'MS0451', '滑鼠', 'C002', '東元電機', 'S002', '李志明', '01', '001',"
    "   5, '個', 500, 5, '個', 100, '急件', 'L1', 1),"
    "  ('1140315', 1, 'MS0451', '滑鼠', 'C001', '大同公司', 'S001', '王美華', '02', '002',"
    "   2, '個', 200, 2, '個', 100, '', '', 1),"
    "  ('11402200003', 1, 'MS0451', '滑鼠', 'C001', '大同公司', 'S001', '王美華', '02', '001',"
    "   1, '個', 100, 1, '個', 100, '', '', 0),"
    "  ('11401050001', 3, 'KB0001', '鍵盤', 'C001', '大同公司', 'S001', '王美華', '02', '001',"
    "   1, '個', 50, 1, '個', 50, '', '', 1);"
    "INSERT INTO POSEIN (PCOD1, PTAXM) VALUES ('11401050001', 1), ('11403100005', 0);"
    "INSERT INTO VISEOU (VCOD1, VOSEQ, VICOD, VINAM, VPCOD, VPNAM, VTCOD, VINU2, VPOIN, VUNI2,"
    "  SystemVisible) VALUES ('11402100001', 1, 'MS0451', '滑鼠', 'P001', '聯強', '001', 2, '個',"
    "  80, 1), ('1140420', 3, 'MS0451', '滑鼠', 'P002', '精技', '002', 1, '個', 85, 1),"
    "  ('11403150002', 1, 'MS0451', '滑鼠', 'P001', '聯強', '001', 1, '個', 80, 0),"
    "  ('11402100001', 2, 'KB0001', '鍵盤', 'P001', '聯強', '001', 1, '個', 30, 1);"
    "INSERT INTO RETAILD (RCOD1, RSEQ, RIDT, RICOD, RPNAM, RSNAM, RTCOD, RINUM, RPOIN, RTOTA,"
    "  RINU2, RUNI2) VALUES ('11401200001', 1, '0', 'MS0451', '門市客', '王美華', '001', 1, '個',"
    "  120, NULL, NULL), ('11401200001', 2, '0', 'MS0451', '門市客', '李志明', '001', 12, '打',"
    "  1300, 1, NULL), ('11402020001', 1, '1', 'MS0451', '門市客', '王美華', '001', 1, '個', 120,"
    "  1, 120), ('11401200001', 3, '0', 'KB0001', '門市客', '王美華', '001', 1, '個', 300, NULL,"
    "  NULL);"
    // Customer orders: in dozens, without an own unit, not yet delivered, delivered, closed.
    "INSERT INTO ORDET (OCOD1, ODAT1) VALUES ('11403010001', '114.03.01');"
    "INSERT INTO ORSUB (OCOD1, OSEQ, OICOD, OCNAM, OINUM, OINU2, OPOIN, ONNO, OINYN, OBACK,"
    "  OCOD1SEQ) VALUES ('11403010001', 1, 'MS0451', '大同公司', 24, 2, '打', 3, 'N', '', ''),"
    "  ('11403010001', 2, 'MS0451', '大同公司', 5, NULL, '個', 5, '', '急', ''),"
    "  ('11403050002', 1, 'MS0451', '東元電機', 10, 10, '個', 4, 'N', '', 'L2'),"
    "  ('11403050002', 2, 'MS0451', '東元電機', 10, 10, '個', 0, 'N', '', ''),"
    "  ('11403060003', 1, 'MS0451', '大同公司', 1, 1, '個', 1, 'Y', '', '');"
    // Storage locations: the west shelf (6 strokes) comes before the east one (8 strokes).
    "INSERT INTO ITEMP (ICODE, ITCOD, IICOD) VALUES ('MS0451', '001', '西01'),"
    "  ('MS0451', '001', '東01'), ('MS0451', '00', '2A'), ('KB0001', '001', '東01');"
    "INSERT INTO PLACE (PTCOD, PICOD, PINAM) VALUES ('001', '西01', '西側貨架'),"
    "  ('001', '東01', '東側貨架');"
    "INSERT INTO REBACKM (RCOD1, RSTAT, RSTA2, RTAKE) VALUES ('11404050002', 12, 7, 1);"
    "INSERT INTO WORKER (WCOD2, WPCOD, WPNAM, WSC13, WSN13, WICOD, WINAM, WTCOD, WINU2, WPOIN,"
    "  WSTA1, WST12, WSTA2, WSTA4, WSTA6, WCOD6) VALUES"
    "  ('W11404001', 'C001', '大同公司', 'S001', '王美華', 'MS0451', '滑鼠', '001', 1, '個',"
    "   1, 1, 7, 1, 1, '11404050002'),"
    "  ('W11404002', 'C001', '大同公司', 'S002', '李志明', 'KB0001', '鍵盤', '001', 1, '個',"
    "   0, 2, 10, 7, 2, NULL),"
    "  ('W11405003', 'C001', '大同公司', 'S001', '王美華', 'MS0451', '滑鼠', '002', 2, '個',"
    "   4, 3, 11, 8, 0, ''),"
    "  ('W11405004', 'C002', '東元電機', 'S002', '李志明', 'MS0451', '滑鼠', '001', 1, '個',"
    "   0, 0, 0, 0, 0, NULL);"
    // Purchases: lots L1 and L10 of a taxed document, L2 of an untaxed one, L3 used up, a
    // line without a lot.
    "INSERT INTO VISEIN (VCOD1, VSEQ, VICOD, VINAM, VPCOD, VPNAM, VTCOD, VINUM, VPOIN, VUNIT,"
    "  VCOD1SEQ, VCOD1NUM) VALUES"
    "  ('11401010001', 1, 'MS0451', '滑鼠', 'P001', '聯強', '001', 10, '個', 80, 'L1', 5),"
    "  ('11401010001', 2, 'MS0451', '滑鼠', 'P001', '聯強', '001', 10, '個', 82, 'L10', 10),"
    "  ('11402150002', 1, 'MS0451', '滑鼠', 'P002', '精技', '001', 20, '個', 90, 'L2', 20),"
    "  ('11406010001', 1, 'MS0451', '滑鼠', 'P001', '聯強', '001', 5, '個', 95, 'L3', 0),"
    "  ('11405200002', 1, 'MS0451', '滑鼠', 'P001', '聯強', '001', 3, '個', 88, '', 3),"
    "  ('11403010003', 1, 'KB0001', '鍵盤', 'P001', '聯強', '001', 1, '個', 300, 'L9', 1);"
    "UPDATE VISEIN SET VDAT1 = '114.01.01' WHERE VCOD1 = '11401010001';"
    "INSERT INTO BUYSIN (BCOD1, BTAXM) VALUES ('11401010001', 1), ('11402150002', 0);"
    "INSERT INTO SINOUT (SIONO, SINOU, SICODE, STTARG, ENUMB) VALUES"
    "  ('11402050001', 'C', 'MS0451', '001', 10), ('11403050002', 'C', 'MS0451', '002', 5),"
    "  ('11403060001', 'D', 'MS0451', '001', 1), ('11403070001', 'C', 'KB0001', '001', 2);"
    "INSERT INTO SerialInOutTotal (SerialCode, ICODE, STCOD, Quantity) VALUES"
    "  ('SN0002', 'MS0451', '001', 1), ('sn0001', 'MS0451', '002', 1),"
    "  ('SN0003', 'MS0451', '001', 0), ('', 'MS0451', '001', 5), ('SN0009', 'KB0001', '001', 1);";

// Two companies of the group beside this one: Taipei with stock, Taichung with purchase
// orders. The others are not there.
const char* const TaipeiRows =
    "INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES ('MS0451', '001', '台北倉', 7),"
    "  ('MS0451', '002', '台中倉', 2);";
const char* const TaichungRows =
    "INSERT INTO STOC (SITEM, STCOD, STNAM, SNUMB) VALUES ('KB0001', '001', '台中倉', 4);"
    "INSERT INTO SBIN (SCOD1, SDAT2, SINYN) VALUES ('11402010001', '114.03.01', 'N'),"
    "  ('11402050002', '114.02.20', 'N'), ('11402060003', '', 'N');"
    "INSERT INTO SISE (SCOD1, SSEQ, SICOD, SINYN) VALUES ('11402010001', 1, 'MS0451', 'N'),"
    "  ('11402050002', 1, 'MS0451', 'N'), ('11402060003', 1, 'MS0451', 'N');";

QString rows(const QStringList& list) { return list.join(u';'); }

// The composite key of a history grid: document code in CHAR(11), line number + 10000.
QString key(const char* code, const char* line) {
    return QStringLiteral("(CONVERT(CHAR(11),%1) + CONVERT(CHAR(5),(10000 + %2)))")
        .arg(QLatin1String(code), QLatin1String(line));
}

// ---- open purchase orders (SISE)
const QString OrderKey = key("SCOD1", "SSEQ");
const QString OrderFilter =
    "FROM SISE WITH (INDEX = SISE1_INX) WHERE SICOD = 'MS0451' AND (SINUM-SONUM) > 0 AND SINYN "
    "= 'N'";
const QString OrderColumns =
    "SCOD1,SPNAM,SINUM,SPOIN,(SINUM-SONUM) AS SSNUM,ISNULL((SELECT SDAT2 FROM SBIN WHERE "
    "SBIN.SCOD1 = SISE.SCOD1),'') AS SDAT2,SBACK," +
    OrderKey + " AS HINX ";
const QString OrderNames = "SCOD1|SPNAM|SINUM|SPOIN|SSNUM|SDAT2|SBACK|HINX";

// ---- sales (HISTIN)
const QString SaleKey = key("HCOD1", "HSEQ");
const QString SaleColumns =
    "HCOD1,HPNAM,HSNAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS 'HPOIN',ISNULL(HUNI3,(HTOTA / "
    "HINU3)) AS HUNIT," +
    SaleKey + " AS HINX,HCONS";
const QString Taxed =
    "CASE WHEN (SELECT PTAXM FROM POSEIN WHERE POSEIN.PCOD1 = HISTIN.HCOD1) > 0 THEN 'Y' ELSE "
    "'N' END AS TAXS";
const QString SalesFrom =
    " FROM HISTIN WITH (INDEX = HISTIN_HICOD) WHERE SystemVisible = 1 AND HICOD = 'MS0451'";
const QString SaleNames = "HCOD1|HPNAM|HSNAM|HTCOD|HINUM|HPOIN|HUNIT|HINX|HCONS";
const QString NoPrice = "11401050001|大同公司|王美華|001|3||NULL|1140105000110002|";
const QString ShortCode = "1140315|大同公司|王美華|002|2|個|100|1140315    10001|";

// ---- purchase returns (VISEOU): the code is not padded
const QString ReturnKey = "(VCOD1 + CONVERT(CHAR(5),(10000 + VOSEQ)))";
const QString PurchaseReturnsFrom =
    " FROM VISEOU WITH (INDEX = VISEOU_VICOD) WHERE SystemVisible = 1 AND VICOD = 'MS0451'";

// ---- point of sale (RETAILD), customer orders (ORSUB)
const QString RetailColumns =
    "RCOD1,RPNAM,RSNAM,RTCOD,ISNULL(RINU2,RINUM) AS RINUM,RPOIN,ISNULL(RUNI2,(RTOTA / RINU2)) AS "
    "RUNIT," +
    key("RCOD1", "RSEQ") + " AS HINX,RCONS,RCOD1SEQ";
const QString RetailNames = "RCOD1|RPNAM|RSNAM|RTCOD|RINUM|RPOIN|RUNIT|HINX|RCONS|RCOD1SEQ";
const QString CustomerOrderColumns =
    "ISNULL(OINU2,OINUM) AS OINUM,OPOIN,ONNO,CASE WHEN OINUM != OINU2 THEN "
    "CONVERT(VARCHAR,((OINUM / OINU2) * ONNO)) + (SELECT IPOIN FROM ITEM WHERE ICODE = OICOD) "
    "ELSE '' END AS 'IPOIN', ISNULL((SELECT ODAT1 FROM ORDET WHERE ORDET.OCOD1 = "
    "ORSUB.OCOD1),'') AS ODAT1,OBACK,OCOD1SEQ," +
    key("OCOD1", "OSEQ") + " AS HINX";
const QString CustomerOrderFilter =
    " FROM ORSUB WHERE OICOD = 'MS0451' AND OINYN IN('N','') AND ONNO > 0";

// ---- stock lots (VISEIN)
const QString LotNames = "VCOD1SEQ|VCOD1|VPNAM|VUNIT|VINUM|VCOD1NUM";

// ---- by customer: the item code in CHAR(17), the document code as it stands
const QString CustomerKey = "(CONVERT(CHAR(17),HICOD) + HCOD1 + CONVERT(CHAR(5),(10000 + HSEQ)))";
const QString CustomerSalesHead =
    "SELECT TOP 15 HCOD1,HPNAM,HSNAM,HICOD,HINAM,HTCOD,ISNULL(HINU3,HINUM) AS HINUM,HPOI3 AS "
    "'HPOIN',ISNULL(HUNI3,(HTOTA / HINU3)) AS HUNIT," +
    CustomerKey + "," + Taxed +
    " FROM HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE SystemVisible = 1 " +
    "AND HPCOD = 'C001' AND HICOD Like ";
const QString CustomerSaleNames = "HCOD1|HPNAM|HSNAM|HICOD|HINAM|HTCOD|HINUM|HPOIN|HUNIT||TAXS";
QString itemKey(const char* item, const char* rest) {
    return QString::fromLatin1(item).leftJustified(17) + QLatin1String(rest);
}

// ---- repair orders by customer (WORKER)
const QString RepairOrderHead =
    "SELECT TOP 15 WPNAM,WSN13,WCOD2,WICOD,WINAM,WTCOD,WINU2,WPOIN,CASE WHEN WSTA1 = 0 THEN "
    "'待收件' WHEN WSTA1 = 1 THEN '已收件' WHEN WSTA1 = 2 THEN '再預約' WHEN WSTA1 = 3 THEN "
    "'不取件' Else '' END AS WSTA1N,CASE WHEN WST12 = 0 THEN '待收件' WHEN WST12 = 1 THEN '已收件' "
    "WHEN WST12 = 2 THEN '不取件' ELSE '' END AS WST12N,CASE WHEN WSTA2 = 0 THEN '待檢測' WHEN "
    "WSTA2 = 1 THEN '待報價' WHEN WSTA2 = 2 THEN '報價中' WHEN WSTA2 = 3 THEN '維修中' WHEN WSTA2 "
    "= 4 THEN '換相同產品' WHEN WSTA2 = 5 THEN '換不同產品' WHEN WSTA2 = 6 THEN '後送' WHEN WSTA2 "
    "= 7 THEN '維修完成' WHEN WSTA2 = 8 THEN '維修取消' WHEN WSTA2 = 9 THEN '重新檢測' WHEN WSTA2 "
    "= 10 THEN '轉銷貨退回' Else '' END AS WSTA2N,CASE WHEN WSTA4 = 0 THEN '待後送' WHEN WSTA4 = 1 "
    "THEN '已後送' WHEN WSTA4 = 2 THEN '後送還回' WHEN WSTA4 = 3 THEN '換相同產品' WHEN WSTA4 = 4 "
    "THEN '換不同產品' WHEN WSTA4 = 5 THEN '取消' WHEN WSTA4 = 6 THEN '轉進貨退出並換貨給客戶' "
    "WHEN WSTA4 = 7 THEN '轉進貨退出並轉銷貨退回' Else '' END AS WSTA4N,CASE WHEN WSTA6 = 0 THEN "
    "'待取件' WHEN WSTA6 = 1 THEN LEFT(ISNULL(WCOD6,''),3) + '.' + SUBSTRING(ISNULL(WCOD6,''),4,2) "
    "+ '.' + SUBSTRING(ISNULL(WCOD6,''),6,2) WHEN WSTA6 = 2 THEN '轉銷貨退回' Else '' END AS "
    "WSTA6N,CASE WHEN ISNULL((SELECT RTAKE FROM REBACKM WHERE RCOD1 = WCOD6),0) = 1 THEN 'Y' ELSE "
    "'' END AS RTAKE FROM WORKER WITH (INDEX = WORKER_WPCOD) WHERE WPCOD = 'C001' AND WICOD Like "
    "'%'";
const QString RepairOrderNames =
    "WPNAM|WSN13|WCOD2|WICOD|WINAM|WTCOD|WINU2|WPOIN|WSTA1N|WST12N|WSTA2N|WSTA4N|WSTA6N|RTAKE";
const QString PickedUp =
    "大同公司|王美華|W11404001|MS0451|滑鼠|001|1|個|已收件|已收件|維修完成|已後送|114.04.05|Y";
const QString Returned =
    "大同公司|李志明|W11404002|KB0001|鍵盤|001|1|個|待收件|不取件|轉銷貨退回|"
    "轉進貨退出並轉銷貨退回|轉銷貨退回|";
const QString OutOfList = "大同公司|王美華|W11405003|MS0451|滑鼠|002|2|個|||||待取件|";

// ---- customers C001 to C017 and the item master
QString customers(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out.append(QStringLiteral("C%1|客戶%2")
                       .arg(i, 3, 10, QLatin1Char('0'))
                       .arg(i, 2, 10, QLatin1Char('0')));
    return rows(out);
}
const QString ItemListHead = "SELECT TOP 15 ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ";
const QString ItemListNames = "ICODE|INAME|INUMB|ICONS";
const QString Keyboard = "KB0001|鍵盤|3|有線鍵盤";
const QString Mouse = "MS0451|滑鼠|12|光學滑鼠";
const QString ItemNames =
    "ICODE|INAME|ICONS|IPOIN|INUMB|ISAVE|ISISE|INUM2|IPOI2|IUNI2|INUM3|IPOI3|IUNI3|IPCOD|IPNAM|"
    "IUNIT|IUNIT2|IUNIT3|IUNIT4|IUNIT5|IUNIT6|ICOD2|CH63|INUM7|IPOI7|ISOUR|ISPACE|ORSUB";
const QString MouseItem = "MS0451|滑鼠|光學滑鼠|個|12|0|0|0||0|0||0|||0|0|0|0|0|0|A-100||0||100||0";
// The stock of an item in warehouse 001 of each company of the group, and the first date a
// purchase of it is expected in Taichung.
QString sisterStocks(const char* item) {
    QString text = QStringLiteral("Select ");
    const std::pair<const char*, const char*> companies[] = {{"ZqPro4", "台北庫存"},
                                                             {"ZqPro5", "公益庫存"},
                                                             {"ZqPro3", "台中庫存"},
                                                             {"ZqPro2", "高雄庫存"}};
    for (const auto& [database, caption] : companies)
        text += QStringLiteral(
                    "IsNull((Select Convert(VarChar,Snumb) From %1..Stoc Where Stcod = "
                    "'001' And Sitem = '%2'),'無此代號') as '%3',")
                    .arg(QLatin1String(database), QLatin1String(item), QString::fromUtf8(caption));
    return text + QStringLiteral(
                      "IsNull((Select Top 1 Sdat2 From ZqPro3..Sbin Where Sdat2 <> '' "
                      "And Sdat2 >= '099.11.01' And Sinyn = 'N' And Scod1 In(Select "
                      "Scod1 From ZqPro3..Sise as a Where a.Sicod = '%1' and Sinyn = "
                      "'N') Order By Sdat2 Asc),'沒有採購') as '採購預定日'")
                      .arg(QLatin1String(item));
}
}  // namespace

class TsqlHistoryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TsqlFixture> m_fixture;

    // The rows, and for a statement that names its index: the index answers it in the
    // order it asks for, without a sort, and every other table is read through its key (a
    // subquery used as a value reads its at most two rows as a subquery of its own).
    void check() {
        TsqlCorpus::check(m_fixture->db());
        QFETCH(QString, text);
        static const QRegularExpression hint(QStringLiteral("WITH \\(INDEX = (\\w+)\\)"),
                                             QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch named = hint.match(text);
        if (!named.hasMatch()) return;
        for (const auto& prepared : m_fixture->db().translator().prepare(text)) {
            QStringList steps;
            for (const QVariantList& row :
                 m_fixture->db()
                     .connection()
                     .query(QStringLiteral("EXPLAIN QUERY PLAN ") + prepared.sql, prepared.values)
                     .rows)
                steps.append(row.last().toString());
            const QString plan = steps.join(u';');
            QVERIFY2(plan.contains(QLatin1String("INDEX ") + named.captured(1).toUpper()),
                     qPrintable(plan));
            QVERIFY2(!plan.contains(QLatin1String("TEMP B-TREE")), qPrintable(plan));
            QVERIFY2(
                !plan.contains(QRegularExpression(QStringLiteral("SCAN (?!t0\\b|\\(subquery-)"))),
                qPrintable(plan));
        }
    }

    void addCompany(const char* name, const char* rows) {
        SqliteConnection company(m_fixture->path(QLatin1String(name)),
                                 SqliteConnection::OpenMode::Create);
        SuiteSchema::create(company);
        company.script(QString::fromUtf8(rows));
    }

private slots:
    void initTestCase() {
        m_fixture = std::make_unique<TsqlFixture>(QString());
        SuiteSchema::create(m_fixture->db().connection());
        m_fixture->db().connection().script(QString::fromUtf8(Rows));
        addCompany("ZqPro4", TaipeiRows);
        addCompany("ZqPro3", TaichungRows);
    }
    void cleanupTestCase() { m_fixture.reset(); }

    // The paged history grids: boundary and row statements over the composite keys (padded
    // short codes, unpadded ones, warehouse plus location), the user restrictions, the
    // subqueries that may find no row.
    void historyPages_data() {
        TsqlCorpus::addColumns();
        TsqlCorpus::addCases({
            // Open purchase orders: a short code padded in the key.
            {"SELECT " + OrderColumns + OrderFilter + " AND " + OrderKey +
                 " >= '1140105000110001' ORDER BY SCOD1,SSEQ",
             OrderNames,
             rows({"11401050001|聯強|10|個|10|||1140105000110001",
                   "11402010002|精技|5|個|4|114.02.20||1140201000210001",
                   "1140301|聯強|3|個|3|114.03.09||1140301    10012"})},
            // Sales: the department's lines with the tax marker (a document taxed, one without a
            // tax row).
            {"SELECT TOP 15 " + SaleColumns + ",HCOD1SEQ," + Taxed + SalesFrom +
                 " AND HDENO = '02' AND " + SaleKey + " >= '1140105000110002' ORDER BY HCOD1,HSEQ",
             SaleNames + "|HCOD1SEQ|TAXS", rows({NoPrice + "||Y", ShortCode + "||N"})},
            // Purchase returns (the code unpadded): Home with masked prices.
            {"SELECT TOP 15 VCOD1,VPNAM,VTCOD,VINU2 AS VINUM,VPOIN,'***.**' AS VUNIT," + ReturnKey +
                 " AS VINX" + PurchaseReturnsFrom + " ORDER BY VCOD1,VOSEQ",
             "VCOD1|VPNAM|VTCOD|VINUM|VPOIN|VUNIT|VINX",
             "11402100001|聯強|001|2|個|***.**|1140210000110001;"
             "1140420|精技|002|1|個|***.**|114042010003"},
            // Point of sale: sales without a unit price, or in another unit.
            {"SELECT " + RetailColumns +
                 " FROM RETAILD WITH (INDEX = RETAILD2_INX) WHERE RIDT = '0' AND RICOD = 'MS0451' "
                 "AND " +
                 key("RCOD1", "RSEQ") + " >= '1140120000110001' ORDER BY RCOD1,RSEQ",
             RetailNames,
             "11401200001|門市客|王美華|001|1|個|NULL|1140120000110001||;"
             "11401200001|門市客|李志明|001|1|打|1300|1140120000110002||"},
            // Customer orders: Home.
            {"SELECT TOP 15 OCOD1,OCNAM," + CustomerOrderColumns + CustomerOrderFilter +
                 " ORDER BY OCOD1,OSEQ",
             "OCOD1|OCNAM|OINUM|OPOIN|ONNO|IPOIN|ODAT1|OBACK|OCOD1SEQ|HINX",
             "11403010001|大同公司|2|打|3|36個|114.03.01|||1140301000110001;"
             "11403010001|大同公司|5|個|5||114.03.01|急||1140301000110002;"
             "11403050002|東元電機|10|個|4||||L2|1140305000210001"},
            // Storage locations: codes of different lengths interleave in key order; the west
            // shelf comes before the east one.
            {"SELECT TOP 15 ITCOD,IICOD,(SELECT PINAM FROM PLACE WHERE PTCOD = ITCOD AND PICOD = "
             "IICOD) AS IINAM,(ITCOD + IICOD) AS HINX FROM ITEMP WITH (INDEX = KITEMP) WHERE ICODE "
             "= 'MS0451' AND (ITCOD + IICOD) >= '001東01' ORDER BY ITCOD,IICOD",
             "ITCOD|IICOD|IINAM|HINX", "00|2A|NULL|002A;001|東01|東側貨架|001東01"},
        });
    }
    void historyPages() { check(); }

    // The stock lots: the first page with the price tax included at 1.03, a page on with the
    // item's cost. The views without paging: stock per warehouse with the open purchase
    // quantity, goods received, serial holdings.
    void stockViews_data() {
        TsqlCorpus::addColumns();
        TsqlCorpus::addCases({
            {"SELECT * FROM (SELECT TOP 15 VCOD1SEQ,VCOD1,VPNAM,VUNIT = CASE WHEN (SELECT BTAXM "
             "FROM BUYSIN WHERE BCOD1 = VCOD1) > 0 THEN VUNIT * 1.03 ELSE VUNIT END,VINUM,VCOD1NUM "
             "FROM VISEIN WHERE VICOD = 'MS0451' AND VCOD1NUM != 0 AND VCOD1SEQ != '' ORDER BY "
             "VCOD1,VCOD1SEQ DESC) AS TABTEMP ORDER BY VCOD1,VCOD1SEQ + ' ' ",
             LotNames,
             "L1|11401010001|聯強|82.4|10|5;L10|11401010001|聯強|84.46|10|10;"
             "L2|11402150002|精技|90|20|20"},
            {"SELECT TOP 15 VCOD1SEQ,VCOD1,VPNAM,(select isour2 from item1 where icode1 = vicod) "
             "as VUNIT,VINUM,VCOD1NUM FROM VISEIN WHERE VICOD = 'MS0451' AND VCOD1NUM != 0 AND "
             "VCOD1SEQ != '' AND VCOD1 + VCOD1SEQ >= '11401010001L10' ORDER BY VCOD1,VCOD1SEQ",
             LotNames, "L10|11401010001|聯強|78.5|10|10;L2|11402150002|精技|78.5|20|20"},
            {"SELECT STCOD,STNAM,SNUMB,ISNULL((SELECT SUM(SINUM - SONUM) FROM SISE WHERE SINYN = "
             "'N' AND SISE.STCOD = STOC.STCOD AND SISE.SICOD = 'MS0451'),0) AS SNUM2 FROM STOC "
             "WHERE SITEM = 'MS0451' ORDER BY STCOD",
             "STCOD|STNAM|SNUMB|SNUM2", "001|台北倉|7|13;002|台中倉|3|4;003|高雄倉|0|0"},
            {"SELECT SIONO,STTARG,ENUMB FROM SINOUT WHERE SINOU = 'C' AND SICODE = 'MS0451' ORDER "
             "BY SIONO DESC",
             "SIONO|STTARG|ENUMB", "11403050002|002|5;11402050001|001|10"},
            {"SELECT s.SerialCode,s.STCOD,(SELECT ITNAM FROM ITYP WHERE ITCOD = s.STCOD AND ITYPE "
             "= 1) AS STNAM,s.Quantity FROM SerialInOutTotal AS s WHERE s.ICODE = 'MS0451' AND "
             "s.SerialCode != '' AND S.Quantity != 0 ORDER BY s.SerialCode",
             "SerialCode|STCOD|STNAM|Quantity", "sn0001|002|台中倉|1;SN0002|001|台北倉|1"},
        });
    }
    void stockViews() { check(); }

    // The histories that start from a vendor or a customer: purchases by vendor, sales by
    // customer with their longer key, repair orders paged on the order code alone. The code
    // fields of those frames: a vendor check, the customer list's Page Up, the items of a
    // customer (sold, or in repair orders), a lot number, an external code.
    void partnerHistories_data() {
        TsqlCorpus::addColumns();
        const QString mouse1 = itemKey("MS0451", "1140105000110001");
        const QString mouse2 = itemKey("MS0451", "1140105000110002");
        const QString mouse3 = itemKey("MS0451", "114031510001");
        const QString keyboard = itemKey("KB0001", "1140105000110003");
        TsqlCorpus::addCases({
            {"SELECT TOP 15 VCOD1,VPNAM,VICOD,VINAM,VTCOD,VINUM,VPOIN,VUNIT,VINX FROM VF8J WHERE "
             "VPCOD ='P001' AND VICOD Like '%' ORDER BY VINX",
             "VCOD1|VPNAM|VICOD|VINAM|VTCOD|VINUM|VPOIN|VUNIT|VINX",
             rows({"11403010003|聯強|KB0001|鍵盤|001|1|個|300|" +
                       itemKey("KB0001", "1140301000310001"),
                   "11401010001|聯強|MS0451|滑鼠|001|10|個|80|" +
                       itemKey("MS0451", "1140101000110001"),
                   "11401010001|聯強|MS0451|滑鼠|001|10|個|82|" +
                       itemKey("MS0451", "1140101000110002"),
                   "11405200002|聯強|MS0451|滑鼠|001|3|個|88|" +
                       itemKey("MS0451", "1140520000210001"),
                   "11406010001|聯強|MS0451|滑鼠|001|5|個|95|" +
                       itemKey("MS0451", "1140601000110001")})},
            {CustomerSalesHead + "'%' ORDER BY HICOD,HCOD1,HSEQ", CustomerSaleNames,
             rows({"11401050001|大同公司|王美華|KB0001|鍵盤|001|1|個|50|" + keyboard + "|Y",
                   "11401050001|大同公司|王美華|MS0451|滑鼠|001|1|打|1200|" + mouse1 + "|Y",
                   "11401050001|大同公司|王美華|MS0451|滑鼠|001|3||NULL|" + mouse2 + "|Y",
                   "1140315|大同公司|王美華|MS0451|滑鼠|002|2|個|100|" + mouse3 + "|N"})},
            {RepairOrderHead + " ORDER BY WICOD,WCOD2", RepairOrderNames,
             rows({Returned, PickedUp, OutOfList})},
            // The bound follows the order code, the order the item first.
            {RepairOrderHead + " AND WCOD2 >= 'W11404002' ORDER BY WICOD,WCOD2", RepairOrderNames,
             rows({Returned, OutOfList})},
            {"SELECT TOP 15 CCODE,CNAM2 FROM CUST WHERE CCODE >=(SELECT MIN(CCODE) FROM CUST WHERE "
             "CCODE IN(SELECT TOP 15 CCODE FROM CUST WHERE CCODE Like 'C%' AND CCODE <= 'C016' "
             "ORDER BY CCODE DESC)) AND CCODE Like 'C%' ORDER BY CCODE",
             "CCODE|CNAM2", customers(2, 16)},
            {ItemListHead + "ICODE >='MS0451' AND ICODE Like '%' AND ICODE IN(SELECT HICOD FROM "
                            "HISTIN WITH (INDEX = HISTIN_HPCOD) WHERE HPCOD = 'C001' GROUP BY "
                            "HICOD) ORDER BY ICODE",
             ItemListNames, Mouse},
            {"SELECT ICODE,INAME,INUMB,ICONS FROM ITEM WHERE ICODE IN(SELECT TOP 15 ICODE FROM "
             "ITEM WHERE ICODE Like '%' AND ICODE IN(SELECT WICOD FROM WORKER WHERE WPCOD = 'C001' "
             "GROUP BY WICOD) ORDER BY ICODE DESC) ORDER BY ICODE",
             ItemListNames, rows({Keyboard, Mouse})},
            {"select vicod,vinam,vdat1,vinum,vunit,(select isour2 from item1 where icode1 = vicod) "
             "as isour2,vcod1num from visein where vcod1seq = 'l10'",
             "vicod|vinam|vdat1|vinum|vunit|isour2|vcod1num",
             "MS0451|滑鼠|114.01.01|10|82|78.5|10"},
            {"SELECT ICODE,INAME,ICOD2 FROM ITEM,ITEM1,ITEM3 WHERE ICODE = ICODE3 AND  ICODE = "
             "ICODE1 AND STOPSALE = 0 AND ICOD2 <> '' AND ICOD2 Like 'A%' ORDER BY ICOD2",
             "ICODE|INAME|ICOD2", "KB0001|鍵盤|a-050;MS0451|滑鼠|A-100"},
        });
    }
    void partnerHistories() { check(); }

    // The item entry frame: by code, EAN-13 padded with zeros, by name; the cost
    // correction's last purchase price; the stock in the group's other companies.
    void itemEntry_data() {
        TsqlCorpus::addColumns();
        TsqlCorpus::addCases({
            {"select * from item where icode = (select top 1 icode1 from item1 where ena13 = "
             "right('000' + '4719512345' ,13)order by icode1)",
             ItemNames, MouseItem},
            {"SELECT TOP 2 ICODE,INAME FROM ITEM WHERE INAME = '滑鼠' ORDER BY ICODE",
             "ICODE|INAME", "MS0451|滑鼠;MS0452|滑鼠 "},
            {sisterStocks("MS0451"), "台北庫存|公益庫存|台中庫存|高雄庫存|採購預定日",
             "7|無此代號|無此代號|無此代號|114.02.20"},
        });
    }
    void itemEntry() { check(); }
};

QTEST_GUILESS_MAIN(TsqlHistoryTest)
#include "tst_tsqlhistory.moc"
