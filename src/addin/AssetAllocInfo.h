#pragma once

#include "addin/LiveObjects.h"
#include "host/OrvoInterfaces.h"

#include <QString>

#include <cstdint>

namespace expwiz {

// The allocation of one asset in one allocation list, as a public object
// of the library: the value/percent cells joined as one cell text and the
// number of pairs in it.
class AssetAllocInfo : public orvo::IOrvoObject {
public:
    explicit AssetAllocInfo(LiveObjects::Token token) : token_(std::move(token)) {}

    int32_t AssetId = 0;
    int16_t FieldId = 0;
    QString FieldName;
    QString FieldValue;
    int16_t Count = 0;

private:
    LiveObjects::Token token_;
};

} // namespace expwiz
