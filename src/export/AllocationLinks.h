#pragma once

#include "catalog/FieldCatalog.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace expwiz {

class AllocationLists;

// Which catalog fields of a run are allocation fields, and of which list.
// Held per run (per wizard window or command), never in the shared catalog,
// so one company's lists cannot leak into another's export.
class AllocationLinks {
public:
    struct Link {
        int16_t listId = 0;      // the list's FieldID
        int16_t slotCount = 0;   // value/percent pairs written
        QString columnNames;     // the list's header names
    };

    // Links the field when its display label matches one of the lists.
    // Nothing matching leaves an earlier link in place.
    bool link(int32_t fieldId, const QString& displayLabel, const AllocationLists& lists);

    // Links every field of a map under its display label in the edition.
    void linkAll(const std::vector<int32_t>& fieldIds, bool isGASB, const AllocationLists& lists);

    // The link of a field id, or null.
    const Link* find(int32_t fieldId) const;

    // Set once any field is linked; stays set when that field leaves the map.
    bool hasAllocationFields() const { return hasAllocationFields_; }

private:
    std::array<std::optional<Link>, kFieldCount> links_{};
    bool hasAllocationFields_ = false;
};

} // namespace expwiz
