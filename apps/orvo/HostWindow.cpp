#include "HostWindow.h"

#include "ActionGuiObject.h"
#include "DataFolderPanel.h"
#include "HelpWindow.h"
#include "MenuPlacement.h"

#include "catalog/Edition.h"
#include "refhost/AddinRegistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPluginLoader>
#include <QStatusBar>

#include <cstdio>

namespace orvo::app {

namespace {

// Host command ids that add-in placements may anchor to.
constexpr int CmdOpenFolder = 1130;
constexpr int CmdCompanyProperties = 1135;
constexpr int CmdExit = 1199;
constexpr int CmdVerifyData = 2300;
constexpr int CmdCompact = 2301;

QAction* findById(QMenu* menu, int id)
{
    for (QAction* action : menu->actions())
        if (action->property("commandId").toInt() == id)
            return action;
    return nullptr;
}

QMenu* findMenu(const QList<QAction*>& actions, const QString& caption)
{
    for (QAction* action : actions)
        if (action->menu() && action->text() == caption)
            return action->menu();
    return nullptr;
}

// Where an entry goes among a menu's actions: before or after its anchor,
// at the end when the anchor is not there.
QAction* insertionPoint(QMenu* menu, const MenuPlacementEntry& entry)
{
    QAction* anchor = entry.anchorId() ? findById(menu, *entry.anchorId()) : nullptr;
    if (!anchor)
        return nullptr;
    if (entry.side == MenuPlacementEntry::Side::Before)
        return anchor;
    const auto actions = menu->actions();
    const qsizetype at = actions.indexOf(anchor);
    return at + 1 < actions.size() ? actions[at + 1] : nullptr;
}

} // namespace

HostWindow::HostWindow(std::shared_ptr<refhost::ReferenceHost> host, QWidget* parent)
    : QMainWindow(parent), host_(std::move(host))
{
    setObjectName(QStringLiteral("orvoMain"));
    setWindowTitle(host_->Title());
    host_->setHelpHandler([this](int32_t context) { showHelp(context); });
    setCentralWidget(new DataFolderPanel(host_, this));
    auto* folder = new QLabel(QStringLiteral("%1 (edition %2)").arg(host_->dataFolder()).arg(host_->ApplicationType()));
    folder->setObjectName(QStringLiteral("lblDataFolder"));
    statusBar()->addPermanentWidget(folder);
    buildMenus();
    resize(960, 600);
}

HostWindow::~HostWindow()
{
    shutDownAddins();
}

QAction* HostWindow::hostCommand(QMenu* menu, int id, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setProperty("commandId", id);
    return action;
}

void HostWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(hostCommand(file, CmdOpenFolder, QStringLiteral("&Open Data Folder...")), &QAction::triggered, this,
            [this] { report(QStringLiteral("The data folder is chosen with --data when the program starts.")); });
    hostCommand(file, CmdCompanyProperties, QStringLiteral("Company &Properties..."))->setEnabled(false);
    file->addSeparator();
    const QString utilities = expwiz::Edition::isOrganizationCode(host_->ApplicationType())
                                ? QStringLiteral("Organization &Utilities")
                                : QStringLiteral("Company &Utilities");
    QMenu* utilitiesMenu = file->addMenu(utilities);
    hostCommand(utilitiesMenu, CmdVerifyData, QStringLiteral("&Verify Data"))->setEnabled(false);
    hostCommand(utilitiesMenu, CmdCompact, QStringLiteral("&Compact Database"))->setEnabled(false);
    file->addSeparator();
    connect(hostCommand(file, CmdExit, QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);
    menuBar()->addMenu(QStringLiteral("&Edit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(help->addAction(QStringLiteral("Export Helper &Topics")), &QAction::triggered, this,
            [this] { showHelp(30600); });
}

void HostWindow::report(const QString& message)
{
    std::fprintf(stderr, "orvo: %s\n", qPrintable(message));
    statusBar()->showMessage(message, 10000);
}

void HostWindow::loadAddins()
{
    const refhost::AddinRegistry registry(host_->addinListPath());
    for (const refhost::AddinEntry& entry : registry.entries()) {
        LoadedLibrary library;
        library.loader = std::make_unique<QPluginLoader>(entry.libraryPath);
        library.server = qobject_cast<IOrvoClassServer*>(library.loader->instance());
        if (!library.server) {
            report(QStringLiteral("The add-in %1 could not be loaded from %2: %3")
                       .arg(entry.progId, entry.libraryPath, library.loader->errorString()));
            continue;
        }
        try {
            auto addin = viewAs<IOrvoAddin>(library.server->createInstance(entry.progId));
            if (!addin)
                throw HostError(errnum::ObjectRequired,
                                QStringLiteral("%1 does not create %2.").arg(entry.libraryPath, entry.progId));
            if (!addin->ApplicationTypeSupported(host_->ApplicationType())) {
                report(QStringLiteral("%1 does not support this edition.").arg(addin->Name()));
                continue;
            }
            const size_t itemsBefore = host_->menuItems().size();
            addin->Initialize(host_);
            const auto& operations = host_->operations();
            for (; operationsInstalled_ < operations.size(); ++operationsInstalled_)
                operations[operationsInstalled_].operation->InstalledInto(host_);
            for (size_t i = itemsBefore; i < host_->menuItems().size(); ++i)
                placeItem(host_->menuItems()[i]);
            addins_.push_back(addin);
            // Said on stderr too, so a script or a log sees the add-in is in.
            const QString loaded = QStringLiteral("Loaded %1 from %2").arg(addin->Name(), entry.libraryPath);
            std::fprintf(stderr, "orvo: %s\n", qPrintable(loaded));
            statusBar()->showMessage(loaded, 5000);
        } catch (const HostError& error) {
            report(QStringLiteral("The add-in %1 failed to start: %2").arg(entry.progId, error.description()));
        }
        libraries_.push_back(std::move(library));
    }
}

void HostWindow::placeItem(const std::shared_ptr<IOrvoMenuItem>& item)
{
    const auto path = MenuPlacement::parse(item->Placement());
    QMenu* top = findMenu(menuBar()->actions(), path[0].caption);
    if (!top) {
        QAction* before = path[0].side == MenuPlacementEntry::Side::Before
                            ? [&]() -> QAction* { QMenu* m = findMenu(menuBar()->actions(), path[0].anchor);
                                                  return m ? m->menuAction() : nullptr; }()
                            : nullptr;
        top = new QMenu(path[0].caption, menuBar());
        menuBar()->insertMenu(before, top);
    }
    QMenu* sub = findMenu(top->actions(), path[1].caption);
    if (!sub) {
        sub = new QMenu(path[1].caption, top);
        top->insertMenu(insertionPoint(top, path[1]), sub);
    }
    auto* action = new QAction(item->Title(), sub);
    action->setObjectName(QStringLiteral("addinCommand%1").arg(item->ID()));
    action->setStatusTip(item->StatusText());
    sub->insertAction(insertionPoint(sub, path[2]), action);
    item->SetGUIObject(std::make_shared<ActionGuiObject>(action));
    item->UpdateMenuItem();
    // Weak: once the host has released the add-in's objects, nothing here
    // keeps them (or their library) alive.
    std::weak_ptr<IOrvoMenuItem> weak = item;
    const auto refresh = connect(sub, &QMenu::aboutToShow, this, [weak] {
        if (auto live = weak.lock())
            live->UpdateMenuItem();
    });
    connect(action, &QAction::triggered, this, [this, weak] {
        if (auto live = weak.lock())
            runItem(live);
    });
    placed_.push_back({item, action, refresh});
}

void HostWindow::runItem(const std::shared_ptr<IOrvoMenuItem>& item)
{
    try {
        const QString name = item->Operation();
        for (const auto& operation : host_->operations()) {
            if (!name.isEmpty() && operation.name == name) {
                operation.operation->PerformOperation(item->Value(), nullptr);
                return;
            }
        }
        item->OnClick(item->Value());
    } catch (const HostError& error) {
        QMessageBox::warning(this, host_->Title(), error.description());
    }
}

void HostWindow::triggerFirstAddinCommand()
{
    if (placed_.empty()) {
        report(QStringLiteral("No add-in placed a menu command."));
        return;
    }
    placed_.front().item->UpdateMenuItem();
    if (placed_.front().action->isEnabled())
        placed_.front().action->trigger();
    else
        report(QStringLiteral("The add-in command is disabled."));
}

void HostWindow::showHelp(int32_t context)
{
    QWidget* owner = QApplication::activeModalWidget();
    auto* help = new HelpWindow(owner ? owner : this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->showContext(context);
}

void HostWindow::shutDownAddins()
{
    for (const auto& operation : host_->operations())
        operation.operation->Terminate();
    for (const auto& item : host_->menuItems())
        item->Terminate();
    // The menu's hooks hold the add-in's objects weakly; they go before the
    // library may be unloaded, since even a weak reference ends in its code.
    for (PlacedItem& placed : placed_) {
        disconnect(placed.refresh);
        delete placed.action;
    }
    placed_.clear();
    host_->releaseAddins();
    addins_.clear();
    operationsInstalled_ = 0;
    for (LoadedLibrary& library : libraries_) {
        // A library whose objects still live stays loaded until exit.
        if (library.server && library.server->canUnloadNow())
            library.loader->unload();
    }
    libraries_.clear();
}

void HostWindow::closeEvent(QCloseEvent* event)
{
    shutDownAddins();
    event->accept();
}

} // namespace orvo::app
