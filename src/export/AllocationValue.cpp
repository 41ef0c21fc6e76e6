#include "export/AllocationValue.h"

#include "export/AssetAllocations.h"

#include <algorithm>

namespace expwiz {

void AllocationValue::cells(const AssetAllocations& allocations, int32_t assetId, int16_t listId,
                            int16_t slotCount, const QString& value, QStringList& cells)
{
    cells.clear();
    const qsizetype total = 2 * qsizetype(slotCount > 0 ? slotCount : 0);
    if (value == allocatedMarker()) {
        if (const AssetAllocation* allocation = allocations.find(assetId, listId)) {
            // Element by element, so the caller's list keeps its capacity.
            const qsizetype n = std::min(allocation->cells.size(), total);
            for (qsizetype i = 0; i < n; ++i)
                cells.append(allocation->cells[i]);
        }
    } else if (!value.isEmpty() && total > 0) {
        cells << value << QStringLiteral("100");
    }
    while (cells.size() < total)
        cells.append(QString());
}

} // namespace expwiz
