#pragma once

#include <QString>

namespace expwiz {

// A settings file in the classic INI form ("[Section]" lines, "key=value"
// lines, ";" comments) read and written the way the private profile
// functions do: section and key names compare case-insensitively and
// without the blanks around them, the first matching section and key win, a
// missing file, section or key reads as the default. Writing changes the one key's line (or adds it) and keeps every
// other byte of the file, since other programs keep their settings in the
// same file. Text is in the system 8-bit codec.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const noexcept { return path_; }

    // The value of the key with blanks around it removed and one pair of
    // enclosing quotes taken off. Never fails: an unreadable file is a
    // missing one.
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;

    // Sets the key: its line keeps the spelling of the key and the blanks
    // around "=", only the value changes; a missing key is added after the
    // last line of its section, a missing section at the end of the file.
    // New lines use the file's own line end (CR LF or LF; LF for a new file).
    // A value with blanks at either end, or one that starts and ends with the
    // same quote, is written in double quotes so it reads back unchanged.
    // The file is replaced atomically and keeps its permissions. Returns how
    // many characters of the value the system codec could not represent (they
    // are written as "?"). Raises orvo::HostError when the file cannot be
    // written, or when a name or value holds a line break or NUL that would
    // corrupt the file.
    int writeString(const QString& section, const QString& key, const QString& value);

private:
    QString path_;
};

} // namespace expwiz
