#include "export/AllocationLinks.h"

#include "export/AllocationLists.h"

namespace expwiz {

bool AllocationLinks::link(int32_t fieldId, const QString& displayLabel, const AllocationLists& lists)
{
    if (!isCatalogId(fieldId))
        return false;
    const int k = lists.match(displayLabel);
    if (k < 0)
        return false;
    const AllocationList& list = lists.slot(k);
    links_[static_cast<size_t>(fieldId - kFirstFieldId)] = Link{list.fieldId, list.slotCount, list.columnNames};
    hasAllocationFields_ = true;
    return true;
}

void AllocationLinks::linkAll(const std::vector<int32_t>& fieldIds, bool isGASB, const AllocationLists& lists)
{
    const FieldCatalog& catalog = FieldCatalog::instance();
    for (const int32_t id : fieldIds)
        if (isCatalogId(id))
            link(id, catalog.displayLabel(id, isGASB), lists);
}

const AllocationLinks::Link* AllocationLinks::find(int32_t fieldId) const
{
    if (!isCatalogId(fieldId))
        return nullptr;
    const std::optional<Link>& link = links_[static_cast<size_t>(fieldId - kFirstFieldId)];
    return link ? &*link : nullptr;
}

} // namespace expwiz
