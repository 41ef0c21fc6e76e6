#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace expwiz {

// Which file the map in the wizard belongs to: its name (empty for a new,
// never saved map), the folder it is saved in (ending in "/") and the full
// file path (empty for a new map).
struct FieldMapIdentity {
    QString name;
    QString folder;
    QString filename;

    bool isNew() const noexcept { return name.isEmpty(); }

    // A new map is saved in the host program's folder.
    static FieldMapIdentity forNewMap(const QString& programPath);
    // A map opened from a file: its name and folder come from the path.
    static FieldMapIdentity forFile(const QString& path);
    // The same folder under another name (typed, untrimmed).
    FieldMapIdentity named(const QString& newName) const;

    // Writes the ids as the map `newName` in this folder. On success this
    // identity names the new file; when the write fails it keeps the name
    // and path it had, so the wizard never points at a file that was not
    // written, and the previous file is intact. Raises orvo::HostError.
    void saveAs(const QString& newName, const std::vector<int32_t>& ids);

    friend bool operator==(const FieldMapIdentity&, const FieldMapIdentity&) = default;
};

} // namespace expwiz
