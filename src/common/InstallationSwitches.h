#pragma once

#include <QString>

// The switches of an installation, kept beside the local settings file in ZqSwitch.ini
// (section [Switches], values 0 or 1; a missing file or key means off):
//   TaxIncludedLotPrices  the lot view shows purchase prices with 3 % added for taxed purchases;
//   BranchStockVariant    the inquiry's branch-stock variant of the lot and external-code modes;
//   BranchStockQuery      in that variant, mode P is "P 全省查詢" (the sisters' stock) instead of
//                         "P 成本校正" (the cost correction);
//   BoardBroadcast        the bulletin board can send a notice to the group's companies.
// They are read once at start-up; every workstation of the installation reads the same file.
struct InstallationSwitches {
    static constexpr const char* FileName = "ZqSwitch.ini";

    bool taxIncludedLotPrices = false;
    bool branchStockVariant = false;
    bool branchStockQuery = false;
    bool boardBroadcast = false;

    static InstallationSwitches read(const QString& folder);
    // Writes the file with every switch as given (the setup program writes it, all off).
    static bool write(const QString& folder, const InstallationSwitches& switches);
};
