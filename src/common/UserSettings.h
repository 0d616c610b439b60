#pragma once

#include <QString>

// Per-user settings in the manner of Visual Basic's SaveSetting and GetSetting: on Windows the
// registry key HKCU\Software\VB and VBA Program Settings\<application>\<section>, elsewhere an
// INI file per application. Application names ignore case ("ZQ2000" and "Zq2000" are one key).
namespace UserSettings {
void save(const QString& application, const QString& section, const QString& key,
          const QString& value);
QString get(const QString& application, const QString& section, const QString& key,
            const QString& defaultValue = {});
// The folder of the INI files: $ZQFU_SETTINGS_DIR, or the user's configuration folder.
QString folder();
}  // namespace UserSettings
