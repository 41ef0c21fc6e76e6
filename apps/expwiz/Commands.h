#pragma once

#include <QStringList>

// Each subcommand parses its own options (arguments start with the
// subcommand's name) and returns the process exit code: 0 success,
// 1 a runtime failure, 2 a usage error.
int runDemoCommand(const QStringList& arguments);
int runListCommand(const QStringList& arguments);
int runExportCommand(const QStringList& arguments);
int runFieldsCommand(const QStringList& arguments);

// One line on stderr, prefixed with the program name.
void printError(const QString& message);
