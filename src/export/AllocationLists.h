#pragma once

#include "export/AllocationList.h"
#include "host/HostError.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orvo {
class IOrvoConnection;
}

namespace expwiz {

// The allocation lists of one company, at most six, in FieldID order. A
// catalog field whose display label matches a list's prompt is exported as
// that list's value/percent pairs instead of one cell.
class AllocationLists {
public:
    static constexpr int kSlotCount = 6;
    static constexpr int16_t kPairCount = 35;

    // The query that reads the lists of a company.
    static QString query(int16_t companyId);
    // The 70 header names of a list: prompt + "No" + k and prompt + "Pct" + k
    // for k = 1..35, joined by ", ".
    static QString columnNames(const QString& prompt);

    // Reads the company's lists through the connection. On a failure (the
    // host, a FieldID that is not a 16-bit number, a seventh list, a "G/L"
    // prompt without "No") the lists read so far stay and the failure is
    // returned for the caller to show.
    std::optional<orvo::HostError> load(orvo::IOrvoConnection& connection, int16_t companyId);

    // Fills the table from (FieldID, Prompt) pairs in FieldID order, with the
    // same rules and failures as load().
    std::optional<orvo::HostError> assign(const std::vector<std::pair<int16_t, QString>>& lists);

    const AllocationList& slot(int index) const { return slots_.at(static_cast<size_t>(index)); }
    int usedSlots() const;

    // The first slot whose prompt matches the label, or -1. The first
    // min(label length, prompt length, 10) characters must be equal
    // (case-sensitive); an empty prompt, or a list that could not be
    // completed, ends the search.
    int match(const QString& label) const;

private:
    void clear();
    std::optional<orvo::HostError> complete(int read, std::optional<orvo::HostError> failure);

    std::array<AllocationList, kSlotCount> slots_{};
};

} // namespace expwiz
