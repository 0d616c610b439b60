#pragma once

class SqliteConnection;

// The tables of the suite's database that the module reads and writes, with their indexes.
// Every text column orders by the collation TSQL.
//
//   COMP      company: COMNO code, COMNAM name, COMSNM short name, COMUNI unified business
//             number, COMBOS responsible person, COMTEL, COMFAX, COMADR, MFOR amount decimals
//             ('0'..'8', NULL meaning 2)
//   LSTA      workstations: LCODE code, LNAME name, LUSER last user code, LTIME last heartbeat
//   Depart25  departments: DEPARTNO code, DENAME name
//   SALE      staff: SCODE code, SNAME name, SUSER login user code (at most 4 characters,
//             unique), SSTOC default warehouse, DEPARTNO department, STEL telephone,
//             R00..R40 right masks (bit b of Rc is right 32 * c + b, bit 31 the sign)
//   F8DATA    notices: FSEQ number (text, zero-padded), FDATE day entered, FBEGD first day,
//             FEND last day (ROC date texts), FDEPNO department ('' = all), FDATA text,
//             FSNAM announcer's name, FUSER user code of the entry
namespace SuiteSchema {
// Creates whatever is missing; returns the number of tables and indexes created.
int create(SqliteConnection& db);
}  // namespace SuiteSchema
