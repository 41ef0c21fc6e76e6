#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace expwiz {

class AssetAllocations;

// The cells written for an allocation field: always 2 × slotCount of them.
//  - "<Allocated>": the asset's value/percent pairs in that list, then empty
//    pairs; an asset without allocation rows gives only empty cells;
//  - any other value: the value and "100" (the whole value in one entry),
//    then empty pairs;
//  - an empty value: only empty cells.
class AllocationValue {
public:
    static QStringView allocatedMarker() { return u"<Allocated>"; }

    // Replaces `cells` with the cells of the value.
    static void cells(const AssetAllocations& allocations, int32_t assetId, int16_t listId, int16_t slotCount,
                      const QString& value, QStringList& cells);
};

} // namespace expwiz
