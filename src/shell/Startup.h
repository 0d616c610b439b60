#pragma once

#include <QString>
#include <QVariantList>
#include <functional>

#include "LocalSettings.h"

// Start-up of the module: single copy, command line, local settings, connection, session row.

// The suite's command line read by fixed positions after trimming and upper-casing.
struct CommandLine {
    bool hasMarker = false;  // positions 1-3 are "/GO"
    QString workstation;     // positions 5-8, as they are
    QString user;            // positions 10-13, trimmed

    static CommandLine parse(const QString& text);
};

// What start-up needs from the machine; the program passes the real ones, tests their own.
struct StartupEnvironment {
    QString commandLine;    // everything after the program's name
    QString programFolder;  // where the settings file and the program file lie
    QString programFile;    // read for the version text
    QString place;          // the main window's caption, naming the place of a database error
    std::function<bool()> anotherCopyRunning;
    std::function<void(const QString& command)> startSetup;  // "ZQ2K /SALE", "ZQ2K.EXE /SALE"
    std::function<void(const QString& folder, const LocalSettings&)> connect;
};

// Runs every step up to the filled session. Returns only when the session is open; any failure
// shows its message and ends the program.
void RunStartup(const StartupEnvironment& env);

// Fills the session's right flags from the 41 masks at positions 14..54 of the session row.
void LoadRights(const QVariantList& sessionRow);

// "major.minor.build.revision" of the version stamped into a program file; empty without one.
QString FileVersionText(const QString& programFile);

// The shared message of both missing-settings paths.
QString MissingSettingsMessage();
