#pragma once

#include <QSize>
#include <QString>

#include <cstdint>

namespace expwiz {

// The host edition's own settings file, in which the wizard keeps two
// values: the folder last chosen for the export file (section "Defaults",
// key "ExportPath") and the size its window was last left at (section
// "Export Wizard", key "WindowSize", as "640x480"). Other programs of the
// host keep their settings in the same file, so only these keys are ever
// touched.
class SettingsFile {
public:
    // The file of the edition code in the settings folder.
    explicit SettingsFile(int32_t appType);
    // The same in another folder (given with or without a final "/").
    SettingsFile(int32_t appType, const QString& folder);

    // The file name per edition code, in its exact letter case.
    static QString fileNameFor(int32_t appType);
    // The user's configuration folder (XDG_CONFIG_HOME, else ~/.config) with a final "/".
    static QString defaultFolder();

    const QString& filePath() const noexcept { return path_; }

    // The remembered folder, or `defaultPath` when the file or key is
    // missing or the file cannot be read. At most 1023 characters are
    // returned, and nothing from a NUL on.
    QString readExportPath(const QString& defaultPath) const;

    // Stores the folder. A missing settings folder is created. The result
    // tells whether the value was stored; `error` (when given) receives the
    // reason it was not. Callers may ignore both: a failed write only means
    // the folder is not remembered.
    bool writeExportPath(const QString& value, QString* error = nullptr) const;

    // The remembered window size; an invalid size when none (or no sound
    // one) is remembered.
    QSize readWindowSize() const;
    // Stores the size; like writeExportPath, a failure only means it is
    // not remembered.
    bool writeWindowSize(const QSize& size) const;

private:
    bool write(const QString& section, const QString& key, const QString& value, QString* error) const;

    QString path_;
};

inline constexpr int kExportPathMaxLength = 1023;

} // namespace expwiz
