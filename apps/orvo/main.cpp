// orvo: the reference host application. Opens a host data folder, loads
// the add-ins of its add-in list and runs their menu commands.

#include "HostWindow.h"

#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QString defaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo-data");
}

// --register / --unregister: the plugin edits the add-in list itself.
int editRegistration(const QString& pluginPath, bool add, const std::shared_ptr<orvo::refhost::ReferenceHost>& host)
{
    const QString libraryPath = QFileInfo(pluginPath).absoluteFilePath();
    QPluginLoader loader(libraryPath);
    auto* server = qobject_cast<orvo::IOrvoClassServer*>(loader.instance());
    if (!server) {
        std::fprintf(stderr, "orvo: %s is not an add-in library: %s\n", qPrintable(libraryPath),
                     qPrintable(loader.errorString()));
        return 1;
    }
    orvo::refhost::AddinRegistry registry(host->addinListPath());
    if (add) {
        server->registerServer(registry, libraryPath);
    } else {
        server->unregisterServer(registry);
    }
    std::printf("%s %s in %s\n", add ? "Registered" : "Unregistered", qPrintable(libraryPath),
                qPrintable(host->addinListPath()));
    for (const auto& entry : registry.entries())
        std::printf("  %s -> %s\n", qPrintable(entry.progId), qPrintable(entry.libraryPath));
    return 0;
}

// Registering edits a file only, and help and version are text: they must
// work without a display (a server, a package script, CI).
bool needsNoWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--register") || arg.startsWith("--unregister") || arg == "--help" || arg == "-h"
            || arg == "-?" || arg == "--help-all" || arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

// Without any display Qt would abort with a plugin message; say what to do.
bool hasDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "-platform")
            return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> application;
    if (needsNoWindow(argc, argv)) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else if (!hasDisplay(argc, argv)) {
        std::fputs("orvo: no display to show the window on (DISPLAY is not set). Run it in a desktop session, "
                   "under xvfb-run, or with QT_QPA_PLATFORM=offscreen; --help shows the options.\n", stderr);
        return 1;
    } else {
        application = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("orvo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(EXPWIZ_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvo reference host: loads add-ins and runs their commands."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Host data folder (default: a demo folder, created if missing)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption edition(QStringLiteral("edition"), QStringLiteral("Edition code for this session."),
                                     QStringLiteral("CODE"));
    const QCommandLineOption reg(QStringLiteral("register"), QStringLiteral("Add an add-in library to the list."),
                                 QStringLiteral("PLUGIN"));
    const QCommandLineOption unreg(QStringLiteral("unregister"),
                                   QStringLiteral("Take an add-in library out of the list."), QStringLiteral("PLUGIN"));
    const QCommandLineOption start(QStringLiteral("start-command"),
                                   QStringLiteral("Choose the first add-in menu command once the window shows."));
    parser.addOptions({data, edition, reg, unreg, start});
    parser.process(app);

    try {
        const QString folder = parser.isSet(data) ? parser.value(data) : defaultDataFolder();
        if (!parser.isSet(data) && !QFileInfo::exists(folder)) {
            QDir().mkpath(QFileInfo(folder).absolutePath());
            orvo::refhost::DemoData::create(folder);
        }
        auto host = orvo::refhost::ReferenceHost::open(folder);
        if (parser.isSet(edition)) {
            bool ok = false;
            const int code = parser.value(edition).toInt(&ok);
            if (!ok) {
                std::fprintf(stderr, "orvo: --edition needs a number, not \"%s\"\n", qPrintable(parser.value(edition)));
                return 2;
            }
            host->settings().applicationType = code;
        }
        if (parser.isSet(reg))
            return editRegistration(parser.value(reg), true, host);
        if (parser.isSet(unreg))
            return editRegistration(parser.value(unreg), false, host);

        orvo::app::HostWindow window(host);
        window.show();
        window.loadAddins();
        if (parser.isSet(start))
            QTimer::singleShot(300, &window, [&window] { window.triggerFirstAddinCommand(); });
        const int rc = QApplication::exec();
        window.shutDownAddins();
        return rc;
    } catch (const orvo::HostError& error) {
        std::fprintf(stderr, "orvo: %s\n", qPrintable(error.description()));
        return 1;
    }
}
