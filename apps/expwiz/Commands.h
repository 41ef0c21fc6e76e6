#pragma once

#include <QStringList>

#include <optional>

class QCommandLineParser;

// Each subcommand parses its own options (arguments start with the
// subcommand's name) and returns the process exit code: 0 success,
// 1 a runtime failure, 2 a usage error.
int runDemoCommand(const QStringList& arguments);
int runListCommand(const QStringList& arguments);
int runExportCommand(const QStringList& arguments);
int runFieldsCommand(const QStringList& arguments);

// One line on stderr, prefixed with the program name.
void printError(const QString& message);

// Parses a subcommand's arguments (the first is the subcommand's name).
// Returns the exit code when the command is done already: its help was
// shown (0), or the arguments are wrong (2, reported on stderr). Stray
// arguments beside the options are usage errors, as a misspelt option would be.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments);
