#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace orvo {
class IOrvoGroup;
class IOrvoGroupManager;
} // namespace orvo

namespace expwiz {

// The two SQL texts of an export: the count of the rows and the rows
// themselves. The program writes the company and book conditions; the
// host's group query adds the joins and the group's condition.
class QueryBuilder {
public:
    // selectAssetId: the organization editions read the asset id of each
    // row when the map holds allocation fields, so the query selects it.
    QueryBuilder(std::vector<int32_t> fieldIds, int16_t companyId, int16_t bookId, bool isGASB,
                 bool hasAllocationFields);

    // TABLE.COLUMN of a field id in the catalog's letter case; an id outside
    // the catalog raises orvo::HostError.
    static QString columnExpression(int32_t fieldId);

    QString selectClause() const;
    static QString fromClause();
    QString whereClause() const;
    QString countQuery() const;
    QString dataQuery() const;

    // Reworks both texts through the group manager's group query object:
    // GroupQuery, Reset, SetGroup(group, 0, 0, 0, 0), ApplyGroup(count),
    // ApplyGroup(data); then drops whatever ordering the host put on the
    // count text.
    static void applyGroup(orvo::IOrvoGroupManager& groupManager,
                           const std::shared_ptr<orvo::IOrvoGroup>& group, QString& countQuery,
                           QString& dataQuery);

    // The text before the last case-sensitive "ORDER BY"; a text without one
    // stays whole.
    static QString cutBeforeLastOrderBy(const QString& sql);

private:
    std::vector<int32_t> fieldIds_;
    int16_t companyId_;
    int16_t bookId_;
    bool selectAssetId_;
};

} // namespace expwiz
