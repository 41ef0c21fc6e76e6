#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace expwiz {

struct FieldMapEntry {
    int32_t id = 0;
    bool selected = false;
};

// A field the map editor offers: its id and its display label.
struct AvailableField {
    int32_t id = 0;
    QString label;
};

// The field map: the ordered field ids the export writes, one column per
// entry, with the user's selection per entry. Holds the editing rules of the
// map editor so that the wizard's list only displays it.
class FieldMap {
public:
    // Called for every id that enters the map (added or loaded), so the run's
    // allocation links can examine the field.
    using EntryHook = std::function<void(int32_t id)>;

    FieldMap() = default;

    int count() const noexcept { return static_cast<int>(entries_.size()); }
    bool isEmpty() const noexcept { return entries_.empty(); }
    const std::vector<FieldMapEntry>& entries() const noexcept { return entries_; }
    std::vector<int32_t> ids() const;
    int32_t idAt(int position) const;

    // Replaces the whole map with ids read from a file, in order, none
    // selected. Duplicates stay (a file may hold them); ids outside the
    // catalog are left out and counted in the result.
    int assign(const std::vector<int32_t>& ids, const EntryHook& hook = {});
    void clear() noexcept { entries_.clear(); }

    bool isSelected(int position) const;
    void setSelected(int position, bool selected);
    void selectOnly(const std::vector<int>& positions);
    void clearSelection() noexcept;
    bool hasSelection() const noexcept;
    std::vector<int> selectedPositions() const;

    // Appends the given ids at the end in the order given, unselected; the
    // existing entries keep their positions. An id already in the map (or
    // given twice) and an id outside the catalog are refused, so the map
    // never gets a duplicate column from the editor. Returns how many were
    // appended.
    int add(const std::vector<int32_t>& ids, const EntryHook& hook = {});

    // Removes the selected entries; returns how many.
    int removeSelected();

    // Moves every run of adjacent selected entries up (down) by one; the
    // selection travels with the entries and a run touching the first
    // (last) position stays where it is. False when nothing is selected: the
    // map is unchanged and the caller shows kSelectOneFieldMessage.
    bool moveSelectedUp();
    bool moveSelectedDown();

    bool contains(int32_t id) const;

    // The position of the first System No entry, or the entry count.
    int systemNumberColumn() const;

    // Whether the map differs from the ids last loaded from or saved to its
    // file. A new map ("create new" chosen) with entries is always changed;
    // an empty one never is.
    bool isChangedFrom(const std::vector<int32_t>& savedIds, bool createNewChosen) const;

    // "[" + column letters + "] " + display label of the entry.
    QString itemText(int position, bool isGASB) const;
    QStringList itemTexts(bool isGASB) const;

    // The fields of the category that are not in the map, sorted by label
    // the way the editor's sorted list shows them: case-insensitive
    // comparison of the UTF-16 text (locale independent, so the order is the
    // same on every system), then case-sensitive, then by id.
    std::vector<AvailableField> availableFields(const QString& category, bool isLite, bool isGASB,
                                                bool inventoryOption) const;

    // The order of the sorted list of available fields.
    static bool labelLess(const AvailableField& a, const AvailableField& b);

private:
    std::vector<FieldMapEntry> entries_;
};

} // namespace expwiz
