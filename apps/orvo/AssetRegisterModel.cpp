#include "AssetRegisterModel.h"

#include "host/OrvoInterfaces.h"

#include <iterator>

namespace orvo::app {

namespace {

struct RegisterColumn {
    const char* title;
    const char* column;
};
// The catalog's labels of the Asset columns a user knows an asset by.
constexpr RegisterColumn kColumns[] = {
    {"System No", "ASSETID"},         {"Company Asset No", "COMPASSTNO"}, {"Description", "DESCRIPTION"},
    {"Class", "CLASSCD"},             {"Acquisition Date", "ACQUISITIONDATE"},
    {"Department", "DEPARTMENT"},     {"Location", "LOCATION"},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));
constexpr int kPageRows = 256;

} // namespace

AssetRegisterModel::AssetRegisterModel(QObject* parent) : QAbstractTableModel(parent) {}

void AssetRegisterModel::showCompany(std::shared_ptr<IOrvoConnection> connection, int16_t companyId)
{
    beginResetModel();
    connection_ = std::move(connection);
    companyId_ = companyId;
    rows_.clear();
    total_ = 0;
    try {
        if (connection_) {
            total_ = connection_->CountRows(
                QStringLiteral("SELECT count(*) FROM Asset WHERE companyid = %1").arg(companyId_));
            readPage();
        }
    } catch (...) {
        connection_.reset();
        total_ = 0;
        endResetModel();
        throw;
    }
    endResetModel();
}

void AssetRegisterModel::readPage()
{
    QStringList names;
    for (const RegisterColumn& c : kColumns)
        names << QString::fromLatin1(c.column);
    // The System No last breaks ties, so pages never overlap or skip.
    const QString sql = QStringLiteral("SELECT %1 FROM Asset WHERE companyid = %2 ORDER BY %3 %4, ASSETID LIMIT %5 OFFSET %6")
                            .arg(names.join(QStringLiteral(", ")))
                            .arg(companyId_)
                            .arg(names[sortColumn_], order_ == Qt::AscendingOrder ? QStringLiteral("ASC")
                                                                                  : QStringLiteral("DESC"))
                            .arg(kPageRows)
                            .arg(rows_.size());
    const auto cursor = connection_->OpenCursor(sql, kPageRows);
    const auto rows = cursor ? cursor->Rows() : nullptr;
    if (!rows)
        return;
    const auto fields = rows->Fields();
    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext()) {
        QStringList row;
        QString value;
        for (int c = 0; c < kColumnCount; ++c) {
            fields->ReadItem(c, value);
            row << value;
        }
        rows_.push_back(row);
    }
}

int AssetRegisterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AssetRegisterModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant AssetRegisterModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole) {
        // One line per asset; the tooltip shows a text with line breaks whole.
        QString text = rows_[static_cast<size_t>(index.row())].value(index.column());
        return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    }
    if (role == Qt::ToolTipRole)
        return rows_[static_cast<size_t>(index.row())].value(index.column());
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant AssetRegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kColumns[section].title);
}

bool AssetRegisterModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && connection_ && static_cast<int32_t>(rows_.size()) < total_;
}

void AssetRegisterModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const size_t before = rows_.size();
    std::vector<QStringList> page;
    readPage();
    if (rows_.size() == before) {
        total_ = static_cast<int32_t>(before);   // the company shrank meanwhile
        return;
    }
    // The page is read first; the view hears of it in one step.
    page.assign(std::make_move_iterator(rows_.begin() + static_cast<ptrdiff_t>(before)),
                std::make_move_iterator(rows_.end()));
    rows_.resize(before);
    beginInsertRows({}, static_cast<int>(before), static_cast<int>(before + page.size() - 1));
    rows_.insert(rows_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
    endInsertRows();
}

void AssetRegisterModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumnCount)
        return;
    sortColumn_ = column;
    order_ = order;
    if (connection_)
        showCompany(connection_, companyId_);
}

} // namespace orvo::app
