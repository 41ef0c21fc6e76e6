#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>

void printError(const QString& message)
{
    QTextStream(stderr) << "expwiz: " << message << '\n';
}

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments)
{
    const QString command = arguments.value(0);
    // Qt's --help-all adds options of a GUI application; this one has none.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("help-all")},
                                  QStringLiteral("Show this help and exit."));
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        printError(command + QStringLiteral(": ") + parser.errorText() + QStringLiteral(" See 'expwiz ") + command
                   + QStringLiteral(" --help'."));
        return 2;
    }
    if (parser.isSet(help)) {
        // Qt names only the program in the usage line; the subcommand belongs there.
        QString text = parser.helpText();
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        text.replace(0, end, QStringLiteral("Usage: expwiz %1 [options]").arg(command));
        QTextStream(stdout) << text;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral("%1: unexpected argument '%2'; values belong to options such as --data DIR "
                                  "(see 'expwiz %1 --help').")
                       .arg(command, parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}

namespace {

const char* const kUsage =
    "Usage: expwiz COMMAND [options]\n"
    "       expwiz --version\n"
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
    QCoreApplication::setApplicationVersion(QStringLiteral(EXPWIZ_VERSION));

    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")
        || args[1] == QLatin1String("--help-all")) {
        std::fputs(kUsage, args.size() < 2 ? stderr : stdout);
        return args.size() < 2 ? 2 : 0;
    }
    if (args[1] == QLatin1String("--version") || args[1] == QLatin1String("-V")) {
        QTextStream(stdout) << "expwiz " << QCoreApplication::applicationVersion() << '\n';
        return 0;
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
