#pragma once

#include <QString>
#include <array>

#include "CompanyGroup.h"
#include "InstallationSwitches.h"

// The program-wide values, filled once at start-up and read by every window.
struct Session {
    static constexpr int RightCount = 1313;  // indexes 0..1312; 1312 always stays false

    QString workstationCode = QStringLiteral("0016");
    QString userCode = QStringLiteral("qvk");
    bool sessionOpen = false;
    QString serverAddress, dbUser, dbPassword, dbName;
    QString persistSecurity;
    QString versionText;
    QString companyName, amountDecimals, staffCode, staffName, defaultStore, departmentNo;
    std::array<bool, RightCount> rightFlags{};
    bool printerReady = false;
    QString lastDbError;
    QString currentItemCode;
    InstallationSwitches switches;
    CompanyGroup group;  // the other companies of the group (ZqGroup.ini)

    bool hasRight(int index) const { return index >= 0 && index < RightCount && rightFlags[index]; }

    // The one session of the program.
    static Session& current();
    // Back to the values before start-up (tests).
    static void reset();
};
