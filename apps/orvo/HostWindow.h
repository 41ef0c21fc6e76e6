#pragma once

#include "host/OrvoClassServer.h"
#include "refhost/ReferenceHost.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QPluginLoader;

namespace orvo::app {

// The host application's main window over one host data folder: it loads
// the add-ins of the folder's add-in list, puts their menu commands where
// their placement strings say, refreshes them as menus open and runs them.
class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(std::shared_ptr<refhost::ReferenceHost> host, QWidget* parent = nullptr);
    ~HostWindow() override;

    // Loads every add-in in the list; problems go to stderr and the status bar.
    void loadAddins();
    // Chooses the first add-in menu command, as a click would.
    void triggerFirstAddinCommand();
    // Terminate, release and unload, in that order; safe to call twice.
    void shutDownAddins();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct LoadedLibrary {
        std::unique_ptr<QPluginLoader> loader;
        IOrvoClassServer* server = nullptr;
    };
    struct PlacedItem {
        std::shared_ptr<IOrvoMenuItem> item;
        QAction* action = nullptr;
        QMetaObject::Connection refresh;
    };

    void buildMenus();
    QAction* hostCommand(QMenu* menu, int id, const QString& caption);
    void placeItem(const std::shared_ptr<IOrvoMenuItem>& item);
    void runItem(const std::shared_ptr<IOrvoMenuItem>& item);
    void showHelp(int32_t context);
    void report(const QString& message);

    std::shared_ptr<refhost::ReferenceHost> host_;
    std::vector<LoadedLibrary> libraries_;
    std::vector<std::shared_ptr<IOrvoAddin>> addins_;
    std::vector<PlacedItem> placed_;
    size_t operationsInstalled_ = 0;
};

} // namespace orvo::app
