#pragma once

#include <QString>

#include "LocalSettings.h"
#include "SuiteDatabase.h"

// Where the module's connections come from, by the local settings: the embedded database
// (the file Initial Catalog + ".zqdb" in the folder) or the suite's SQL Server over ODBC.
Connections::Factory MakeConnectionFactory(const QString& folder, const LocalSettings& settings);

// The embedded database file of a catalogue name in a folder.
QString EmbeddedDatabasePath(const QString& folder, const QString& catalogue);

// The database file of a catalogue when it may be opened: a plain name (no path, no leading
// dot), a file that exists in the folder (a link only to a file of the folder), regular, and a
// SQLite database already; empty otherwise. Nothing is created, converted or followed out.
QString ExistingDatabaseFile(const QString& folder, const QString& catalogue);
