#pragma once

#include "export/AssetAllocation.h"

#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvo {
class IOrvoConnection;
}

namespace expwiz {

// The allocations of every asset of a company in the lists a run exports,
// loaded once before the rows are written and looked up by (asset id, list
// id) in a hash map: a lookup per row, not a scan.
class AssetAllocations {
public:
    static constexpr int kMaxPairs = 35;

    // The allocation query; appId is " 3 ", " 4 " or " 6 " (see Edition).
    static QString query(int16_t companyId, const QString& appId, const std::vector<int16_t>& listIds);

    // Replaces the content with the company's allocations in the lists. An
    // empty list of ids loads nothing and sends no query. Raises
    // orvo::HostError for a failing host or an asset id that is not a 32-bit
    // number (or a list id not a 16-bit one).
    void load(orvo::IOrvoConnection& connection, int16_t companyId, const QString& appId,
              const std::vector<int16_t>& listIds);

    // Adds one allocation row as the host delivers it, in (asset, list,
    // allocation) order; rows beyond the 35th of an asset and list are
    // ignored.
    void addRow(int32_t assetId, int16_t listId, const QString& prompt, const QString& value,
                const QString& percent);

    // The allocation of an asset in a list, or null.
    const AssetAllocation* find(int32_t assetId, int16_t listId) const;

    const std::vector<AssetAllocation>& items() const { return items_; }
    void clear();

private:
    static uint64_t key(int32_t assetId, int16_t listId)
    {
        return (uint64_t(uint32_t(assetId)) << 16) | uint16_t(listId);
    }

    std::vector<AssetAllocation> items_;
    std::unordered_map<uint64_t, size_t> index_;
};

} // namespace expwiz
