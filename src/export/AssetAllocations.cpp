#include "export/AssetAllocations.h"

#include "host/OrvoInterfaces.h"

namespace expwiz {

namespace {

int64_t toInteger(const QString& text, int64_t min, int64_t max, const char* what)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw orvo::HostError(orvo::errnum::TypeMismatch,
                              QStringLiteral("The allocation %1 \"%2\" is not a number.").arg(QLatin1String(what), text));
    if (value < min || value > max)
        throw orvo::HostError(orvo::errnum::Overflow,
                              QStringLiteral("The allocation %1 %2 is out of range.").arg(QLatin1String(what), text));
    return value;
}

} // namespace

QString AssetAllocations::query(int16_t companyId, const QString& appId, const std::vector<int16_t>& listIds)
{
    QString ids;
    for (size_t i = 0; i < listIds.size(); ++i) {
        if (i > 0)
            ids += QStringLiteral(", ");
        ids += QString::number(listIds[i]);
    }
    return QStringLiteral("SELECT AssetAlloc.AssetID, AssetAlloc.FieldID, CustomInfo.Prompt, "
                          "AssetAlloc.FieldValue, AssetAlloc.AllocPcnt")
        + QStringLiteral(" FROM AssetAlloc INNER JOIN")
        + QStringLiteral(" CustomInfo ON AssetAlloc.CompanyID = CustomInfo.CompanyID AND "
                         "AssetAlloc.FieldID = CustomInfo.FieldID")
        + QStringLiteral(" WHERE (AssetAlloc.CompanyID = ") + QString::number(companyId) + QStringLiteral(") ")
        + QStringLiteral(" AND APPID = ") + appId + QStringLiteral("AND (AssetAlloc.FieldID IN (") + ids
        + QStringLiteral(")) ")
        + QStringLiteral(" ORDER BY AssetAlloc.AssetID, AssetAlloc.FieldID, AssetAlloc.allocid");
}

void AssetAllocations::clear()
{
    items_.clear();
    index_.clear();
}

void AssetAllocations::load(orvo::IOrvoConnection& connection, int16_t companyId, const QString& appId,
                            const std::vector<int16_t>& listIds)
{
    clear();
    // "IN ()" is no valid SQL; with no allocation field in the map there is
    // nothing to load.
    if (listIds.empty())
        return;
    const std::shared_ptr<orvo::IOrvoCursor> cursor =
        connection.OpenCursor(query(companyId, appId, listIds), 100);
    if (!cursor)
        return;
    const std::shared_ptr<orvo::IOrvoRowset> rows = cursor->Rows();
    const std::shared_ptr<orvo::IOrvoFields> fields = rows ? rows->Fields() : nullptr;
    if (!rows || !fields)
        throw orvo::HostError(orvo::errnum::ObjectRequired,
                              QStringLiteral("The host gave no rows for the asset allocations."));
    for (bool onRow = rows->MoveFirst(); onRow; onRow = rows->MoveNext()) {
        const auto assetId = static_cast<int32_t>(toInteger(fields->Item(0), INT32_MIN, INT32_MAX, "asset id"));
        const auto listId = static_cast<int16_t>(toInteger(fields->Item(1), INT16_MIN, INT16_MAX, "list id"));
        addRow(assetId, listId, fields->Item(2), fields->Item(3), fields->Item(4));
    }
}

void AssetAllocations::addRow(int32_t assetId, int16_t listId, const QString& prompt, const QString& value,
                              const QString& percent)
{
    // Rows arrive grouped by asset and list; a new group starts when the
    // pair changes.
    if (items_.empty() || items_.back().assetId != assetId || items_.back().fieldId != listId) {
        items_.push_back(AssetAllocation{assetId, listId, prompt, {}});
        // The first group of a pair is the one a lookup finds.
        index_.emplace(key(assetId, listId), items_.size() - 1);
    }
    AssetAllocation& current = items_.back();
    if (current.cells.size() < 2 * kMaxPairs) {
        current.cells << value << percent;
    }
}

const AssetAllocation* AssetAllocations::find(int32_t assetId, int16_t listId) const
{
    const auto it = index_.find(key(assetId, listId));
    return it == index_.end() ? nullptr : &items_[it->second];
}

} // namespace expwiz
