#include "Commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>

void printError(const QString& message)
{
    QTextStream(stderr) << "expwiz: " << message << '\n';
}

namespace {

const char* const kUsage =
    "Usage: expwiz COMMAND [options]\n"
    "\n"
    "Commands:\n"
    "  demo     create a demo host data folder\n"
    "  list     show the databases, companies, groups and books of a host data folder\n"
    "  export   export one company, group and book to a CSV file\n"
    "  fields   list the exportable fields of an edition\n"
    "\n"
    "Run 'expwiz COMMAND --help' for the options of a command.\n";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("expwiz"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1.0"));

    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        std::fputs(kUsage, args.size() < 2 ? stderr : stdout);
        return args.size() < 2 ? 2 : 0;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {QStringLiteral("demo"), runDemoCommand},
        {QStringLiteral("list"), runListCommand},
        {QStringLiteral("export"), runExportCommand},
        {QStringLiteral("fields"), runFieldsCommand},
    };
    const auto command = commands.find(args[1]);
    if (command == commands.end()) {
        printError(QStringLiteral("unknown command '%1'. Commands: demo, list, export, fields.").arg(args[1]));
        return 2;
    }
    args.removeFirst();   // the subcommand parses "COMMAND [options]"
    return command->second(args);
}
