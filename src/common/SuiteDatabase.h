#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "ResultSet.h"

// The one interface to the suite's database. execute() runs a command text (a statement, a
// procedure call or a batch) exactly as given and returns every result set it produced, or
// throws DbError.
class SuiteDatabase {
public:
    virtual ~SuiteDatabase() = default;
    virtual ResultSets execute(const QString& commandText) = 0;
    // Runs the command text as execute does and hands each result set to the sink as it is
    // read. Rows handed over before a DbError stay handed over. By default the whole answer is
    // read first; a backend that can read row by row hands the rows over as they come.
    virtual void stream(const QString& commandText, ResultSink& sink) {
        sink.take(execute(commandText));
    }
    // Runs the reads (execute calls that only read) so that they see one state of the
    // database: what another workstation commits meanwhile shows in all of them or in none,
    // as a page's boundary and its rows must. By default each statement reads the newest
    // state, as the server's READ COMMITTED does.
    virtual void readTogether(const std::function<void()>& reads) { reads(); }
};

// Where connections come from. The program installs one factory at start-up (embedded database
// or ODBC, chosen from the settings file); every data source with the same connection text
// shares one connection.
namespace Connections {
using Factory = std::function<std::shared_ptr<SuiteDatabase>(const QString& connectionText)>;
void setFactory(Factory factory);
// Opens (or reuses) the connection for the text; throws DbError when it cannot.
std::shared_ptr<SuiteDatabase> open(const QString& connectionText);
// Drops the shared connections (tests, and the end of the program).
void closeAll();
// A value as it is written into a connection text: as it is when none of its characters
// could be read as part of the text's syntax, otherwise in braces with every '}' doubled, so
// that a ';' or '=' inside a password stays part of the password.
QString quote(const QString& value);
// One field of a connection text such as "Initial Catalog" (names ignore case; the first of
// repeated names counts); empty when absent. A value in braces, or in double or single quotes
// with the quote doubled inside, is read without them; any other value is the text up to the
// next ';' as it stands.
QString field(const QString& connectionText, const QString& name);
}  // namespace Connections
