#pragma once

class ProcedureRegistry;

// The procedures of the fixed asset register. The window edits only the work rows of its
// workstation (Asset_Temp and Assetd_Temp under LCODE); these procedures check them and write
// the register, answering one row: column 0 a message (or, for a delete, the code to show
// next), column 1 the status: 0 done, 2 a question (or, for an add, a code to correct),
// 3 a notice, anything else refused.
//
//   SF_ZQ2K_ASSET_BROW mode,'code'   the asset (35 last, 36 first, 33 before, 34 after,
//                                    99 the code itself) and its allocation lines
//   SF_ZQ2K_ASSET_COPY 'ws','code'   the asset into the work rows for an edit
//   SF_ZQ2K_ASSET_ADD 'ws'           a new asset, its split and its depreciation schedule
//   SF_ZQ2K_ASSET_EDIT 'ws'          the edited asset; refused when another workstation
//                                    changed it since the copy; the unposted schedule follows
//   SF_ZQ2K_ASSET_DEL 'ws','code'    an asset that is neither reviewed, sold nor posted
//   SF_ZQ2K_ASSET_SELL 'ws','code','date',flag   sale of a reviewed asset (flag 2: confirmed)
//   SF_ZQ2K_ASSET_RATI 'ws','code',flag          review (flag 0) or its cancellation (flag 1);
//                                                the other flag confirms a question
//   SF_ZQ2K_ASSET_CLEAN 'ws'         throws the work rows away
//   SF_ZQ2K_ASSET_F2 / SF_ZQ2K_DEPART25_F2 mode,'anchor','pattern'   lookup pages of ten
namespace AssetProcedures {
void addTo(ProcedureRegistry& registry);
}
