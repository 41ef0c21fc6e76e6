#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace expwiz {

// How one asset's value in one allocation list is split: up to 35
// value/percent pairs in allocation order.
struct AssetAllocation {
    int32_t assetId = 0;
    int16_t fieldId = 0;    // the list's FieldID
    QString fieldName;      // the list's prompt
    QStringList cells;      // value1, percent1, value2, percent2, ...

    int16_t count() const { return static_cast<int16_t>(cells.size() / 2); }
    // The cells joined as one cell text: value1","percent1","value2...
    QString fieldValue() const { return cells.join(QStringLiteral("\",\"")); }
};

} // namespace expwiz
