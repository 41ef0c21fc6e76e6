#include "export/QueryBuilder.h"

#include "catalog/FieldCatalog.h"
#include "host/OrvoInterfaces.h"

namespace expwiz {

namespace {
const QString kOrderBy = QStringLiteral("ORDER BY");
}

QueryBuilder::QueryBuilder(std::vector<int32_t> fieldIds, int16_t companyId, int16_t bookId,
                           bool isGASB, bool hasAllocationFields)
    : fieldIds_(std::move(fieldIds)),
      companyId_(companyId),
      bookId_(bookId),
      selectAssetId_(isGASB && hasAllocationFields)
{
}

QString QueryBuilder::columnExpression(int32_t fieldId)
{
    return FieldCatalog::instance().entry(fieldId).columnExpression();
}

QString QueryBuilder::selectClause() const
{
    QString sql = QStringLiteral("SELECT ");
    const size_t n = fieldIds_.size();
    for (size_t i = 0; i < n; ++i) {
        sql += columnExpression(fieldIds_[i]);
        sql += i + 1 < n ? QStringLiteral(", ") : QStringLiteral(" ");
    }
    if (selectAssetId_)
        sql += QStringLiteral(", Asset.AssetID ");
    sql += QStringLiteral(", deprmethod ");
    return sql;
}

QString QueryBuilder::fromClause()
{
    return QStringLiteral(" FROM Asset, Partialsinfo, Bookparts ");
}

QString QueryBuilder::whereClause() const
{
    return QStringLiteral(" WHERE Asset.companyid = ") + QString::number(companyId_)
        + QStringLiteral(" AND Bookparts.bookid = ") + QString::number(bookId_)
        + QStringLiteral(" AND Bookparts.sequence >= 0 ");
}

QString QueryBuilder::countQuery() const
{
    return QStringLiteral("SELECT count(*) ") + fromClause() + whereClause();
}

QString QueryBuilder::dataQuery() const
{
    QString sql = selectClause() + fromClause() + whereClause();
    if (!sql.contains(kOrderBy))
        sql += QStringLiteral(" ORDER BY ASSET.ASSETID");
    return sql;
}

void QueryBuilder::applyGroup(orvo::IOrvoGroupManager& groupManager,
                              const std::shared_ptr<orvo::IOrvoGroup>& group, QString& countQuery,
                              QString& dataQuery)
{
    const std::shared_ptr<orvo::IOrvoGroupQuery> groupQuery = groupManager.GroupQuery();
    if (!groupQuery)
        throw orvo::HostError(orvo::errnum::ObjectRequired,
                              QStringLiteral("The group manager gave no group query object."));
    groupQuery->Reset();
    groupQuery->SetGroup(group, 0, 0, 0, 0);
    countQuery = groupQuery->ApplyGroup(countQuery);
    dataQuery = groupQuery->ApplyGroup(dataQuery);
    // A count with an ORDER BY is rejected by some databases; the rows
    // counted stay the same without it.
    countQuery = cutBeforeLastOrderBy(countQuery);
}

QString QueryBuilder::cutBeforeLastOrderBy(const QString& sql)
{
    const qsizetype at = sql.lastIndexOf(kOrderBy);
    return at < 0 ? sql : sql.left(at);
}

} // namespace expwiz
