#pragma once

#include <QSplitter>

#include <memory>
#include <vector>

class QLabel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvo {
class IOrvoDatabase;
namespace refhost {
class ReferenceHost;
}
} // namespace orvo

namespace orvo::app {

class AssetRegisterModel;

// The main window's body: the databases of the data folder and their
// companies in a tree, and the asset register of the chosen company beside
// it, so the user sees what an export will read.
class DataFolderPanel : public QSplitter {
    Q_OBJECT
public:
    explicit DataFolderPanel(const std::shared_ptr<refhost::ReferenceHost>& host, QWidget* parent = nullptr);
    ~DataFolderPanel() override;

private:
    void showItem(QTreeWidgetItem* item);

    std::vector<std::shared_ptr<IOrvoDatabase>> databases_;   // by the index the tree items keep
    QTreeWidget* tree_;
    QTableView* table_;
    QLabel* count_;
    AssetRegisterModel* model_;
};

} // namespace orvo::app
