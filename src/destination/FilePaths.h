#pragma once

#include <QString>

namespace expwiz {

// The file and folder operations used wherever the user names a file (the
// export file, a field map file). Paths use "/" as the separator; the rules
// for a typed file name stay the portable ones, so a backslash is refused.
class FilePaths {
public:
    // The file name without folder and extension: "/maps/a.b.exp" gives
    // "a.b". A path without any folder, or a name without ".", gives "".
    static QString getFileTitle(const QString& path);

    // The folder part up to and including the last "/"; "" without one.
    static QString getFolderPart(const QString& path);

    // True when the file can be opened for reading (a folder is no file).
    static bool fileExists(const QString& path);

    // `path` is the full path of a file. False only when its folder does not
    // exist; a missing file in an existing folder, or a file that cannot be
    // read, still gives true.
    static bool folderExists(const QString& path);

    // Creates the file or cuts it to length 0. Raises orvo::HostError
    // naming the file on failure.
    static void createEmptyFile(const QString& path);

    // Creates one folder level (its parent must exist). True when the folder
    // exists afterwards.
    static bool createFolder(const QString& folder);

    // A name the user typed for a file: refuses the nine characters that no
    // file name may hold on any of the systems the files travel to, and NUL,
    // which would silently cut the name short. Spaces, letters outside A to
    // Z and the empty name are accepted. The caller shows
    // kInvalidFileNameMessage when this is false.
    static bool isValidFileName(const QString& name);

    // The export file: the location with a "/" appended when it has none,
    // the name exactly as typed, and ".csv" (a name typed as "q1.csv"
    // becomes "q1.csv.csv").
    static QString composeExportPath(const QString& location, const QString& fileName);

    // The field map file: its folder (ending in "/"), the untrimmed name and ".exp".
    static QString composeFieldMapPath(const QString& folder, const QString& name);

    // The location with a "/" appended when it has none.
    static QString withTrailingSeparator(const QString& folder);
};

inline constexpr const char* kInvalidFileNameMessage =
    "Invalid file name. The file name is restricted to alphanumeric characters only.";

} // namespace expwiz
