#pragma once

class ProcedureRegistry;

// The procedures of the bulletin board (table F8DATA), which the notice line shows:
//
// SP_F8F_ADD 'user','FDATE','FBEGD','FEND','FSNAM','FDATA','FDEPNO'
//   adds a notice under the next sequence number (FSEQ, eight digits) and answers one row
//   MSG = the new FSEQ, STATUS = 0.
// SP_F8F_EDIT 'user','fseq','FDATE','FBEGD','FEND','FSNAM','FDATA','FDEPNO'
//   changes the notice; MSG = its FSEQ, STATUS = 0.
// SP_F8F_DEL fseq
//   deletes the notice; MSG = its FSEQ, STATUS = 0.
//
// Each checks what the board window checks and refuses with one row MSG = the reason,
// STATUS = 1, writing nothing: the user's right (351 to add, 362 to change), the fields
// FDATE to FDATA not blank, the three dates ROC dates (stored in the form yyy.mm.dd), the
// start not after the end, the announcer a staff member (SALE.SNAME), the department empty
// or one of Depart25, the text at most 80 bytes in Big5, and for a change or a deletion the
// notice there. The deletion carries no user: its right is the window's to check.
namespace BoardProcedures {
void addTo(ProcedureRegistry& registry);
}  // namespace BoardProcedures
