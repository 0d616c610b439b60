#pragma once

#include <QString>
#include <QVariant>

// The one way a value enters a statement text. Whatever the value holds, typed by a user or
// read back from the database, it stays one value: NULL, a bare number in the invariant form,
// or a text between apostrophes with every apostrophe doubled.
QString SqlLiteral(const QVariant& value);
inline QString SqlLiteral(const QString& text) { return SqlLiteral(QVariant(text)); }
// A whole number kept as a text (a notice's FSEQ "00000009"), written bare as it is stored,
// leading zeros and all: only ASCII digits (at most 38) pass as such; any other text is
// written as a text literal.
QString SqlDigitsLiteral(const QString& digits);
