#pragma once

class ProcedureRegistry;

// The procedures of the item inquiry (window FF8). Both only read.
//
// SP_F8 'grid','flag',key,'listWarehouse','warehouseFilter','code','text7',zero,stopped,'text10'
//   pages the item list (grid DG1) or an item's purchase history (DG3) fifteen rows at a
//   time, by key, never reading a whole table: the item list walks the item codes in the
//   order of the ITEM key (STOC by warehouse when a warehouse filter is set), the history
//   the index VISEIN_VICOD. Answers two result sets: one row LSTOC (the list warehouse
//   given back), CAPTION (the caption of the list's stock column), then the page. DG2, the
//   item code list of the entry frame, pages the codes LIKE argument 10 from the code in
//   argument 7 (ICODE, INAME, INUMB, ICONS). The grids DG4, DG5 and DG6 are refused for now.
//
// SF_ZQ2K_ITYP_F2 key,'anchor','pattern','type','item'
//   the item's stock in every warehouse of the type that holds a STOC row of it, by
//   warehouse code from the anchor on, names matching the LIKE pattern: ITCOD, ITNAM, SNUMB.
//
// The rules, the columns and the refusals are listed in README.md.
namespace InquiryProcedures {
constexpr int PageSize = 15;

void addTo(ProcedureRegistry& registry);
}  // namespace InquiryProcedures
