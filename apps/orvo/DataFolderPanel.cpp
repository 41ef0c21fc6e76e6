#include "DataFolderPanel.h"

#include "AssetRegisterModel.h"

#include "host/OrvoInterfaces.h"
#include "refhost/ReferenceHost.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvo::app {

namespace {
constexpr int DatabaseRole = Qt::UserRole;       // index into databases_, -1 for none
constexpr int CompanyRole = Qt::UserRole + 1;    // company id, on company items
} // namespace

DataFolderPanel::DataFolderPanel(const std::shared_ptr<refhost::ReferenceHost>& host, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      tree_(new QTreeWidget(this)),
      table_(new QTableView),
      count_(new QLabel),
      model_(new AssetRegisterModel(this))
{
    setObjectName(QStringLiteral("splDataFolder"));
    tree_->setObjectName(QStringLiteral("treDatabases"));
    tree_->setHeaderLabel(QStringLiteral("Databases and companies"));
    QTreeWidgetItem* first = nullptr;
    for (const auto& entry : host->Databases()) {
        auto* databaseItem = new QTreeWidgetItem(tree_, {entry->Name()});
        databaseItem->setData(0, DatabaseRole, -1);
        std::shared_ptr<IOrvoDatabase> database;
        try {
            if (auto opened = host->OpenDatabase(entry->Name()))
                database = opened->Database();
        } catch (const HostError& error) {
            databaseItem->setToolTip(0, error.description());
        }
        if (!database) {
            databaseItem->setText(0, entry->Name() + QStringLiteral(" (cannot be opened)"));
            databaseItem->setDisabled(true);
            continue;
        }
        databases_.push_back(database);
        for (const auto& company : database->Companies()) {
            auto* item = new QTreeWidgetItem(databaseItem, {company->Name()});
            item->setData(0, DatabaseRole, static_cast<int>(databases_.size() - 1));
            item->setData(0, CompanyRole, company->CompanyID());
            if (!company->IsAvailable())
                item->setText(0, company->Name() + QStringLiteral(" (not available)"));
            if (!first && entry->Name() == host->DatabaseName())
                first = item;
        }
        databaseItem->setExpanded(true);
    }

    auto* right = new QWidget(this);
    auto* layout = new QVBoxLayout(right);
    layout->setContentsMargins(4, 4, 0, 0);
    count_->setObjectName(QStringLiteral("lblAssetCount"));
    table_->setObjectName(QStringLiteral("tblAssets"));
    table_->setModel(model_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(count_);
    layout->addWidget(table_);
    addWidget(tree_);
    addWidget(right);
    setStretchFactor(1, 3);
    setSizes({220, 740});

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { showItem(item); });
    tree_->setCurrentItem(first);
    if (!first)
        showItem(nullptr);
}

DataFolderPanel::~DataFolderPanel() = default;

void DataFolderPanel::showItem(QTreeWidgetItem* item)
{
    const int database = item ? item->data(0, DatabaseRole).toInt() : -1;
    if (database < 0) {
        model_->showCompany(nullptr, 0);
        count_->setText(QStringLiteral("Choose a company to see its assets."));
        return;
    }
    const auto companyId = static_cast<int16_t>(item->data(0, CompanyRole).toInt());
    try {
        model_->showCompany(databases_[static_cast<size_t>(database)]->Connection(), companyId);
        const int32_t n = model_->assetCount();
        count_->setText(QStringLiteral("%1: %2 %3").arg(item->text(0)).arg(n).arg(n == 1 ? QStringLiteral("asset")
                                                                                        : QStringLiteral("assets")));
    } catch (const HostError& error) {
        count_->setText(QStringLiteral("The assets of %1 cannot be read: %2").arg(item->text(0), error.description()));
    }
    table_->resizeColumnsToContents();
}

} // namespace orvo::app
