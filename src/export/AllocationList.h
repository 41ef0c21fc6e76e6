#pragma once

#include <QString>

#include <cstdint>

namespace expwiz {

// One allocation list of a company (a CustomInfo row of list type 'A'):
// what a catalog field matched with it is headed with and how many
// value/percent pairs it writes.
struct AllocationList {
    int16_t fieldId = 0;     // CustomInfo.FieldID; 0 for an empty slot
    QString prompt;          // for a "G/L" prompt only the text before its first "No"
    QString columnNames;     // the 70 header names, joined by ", "
    int16_t slotCount = 0;   // value/percent pairs: 35 for a used slot

    // A list whose header names could not be built is not usable.
    bool isUsable() const { return fieldId != 0 && slotCount > 0 && !columnNames.isEmpty(); }
};

} // namespace expwiz
