#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace orvo {
class IOrvoConnection;
}

namespace orvo::app {

// One company's asset register, read-only: the main columns of its assets,
// one row per asset. Rows are read a page at a time as the view scrolls, so
// a company of a million assets opens at once; sorting asks the database
// for the order again.
class AssetRegisterModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AssetRegisterModel(QObject* parent = nullptr);

    // Shows the assets of a company (no connection: none); raises HostError.
    void showCompany(std::shared_ptr<IOrvoConnection> connection, int16_t companyId);
    // The company's assets, however many are read so far.
    int32_t assetCount() const { return total_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void readPage();

    std::shared_ptr<IOrvoConnection> connection_;
    int16_t companyId_ = 0;
    int32_t total_ = 0;
    int sortColumn_ = 0;
    Qt::SortOrder order_ = Qt::AscendingOrder;
    std::vector<QStringList> rows_;
};

} // namespace orvo::app
