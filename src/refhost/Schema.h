#pragma once

#include <QStringList>

namespace orvo::refhost {

class SqliteDb;

enum class SqlDialect { Sqlite, Postgres };

// The statements that create the host's tables in an empty database. Table
// and column names are unquoted, so a server that folds them to lower case
// runs the engine's mixed-case query texts unchanged.
QStringList schemaStatements(SqlDialect dialect);
QStringList hostTableNames();
// The indexes the export query needs; after a bulk load is faster.
QStringList indexStatements();

void createSchema(const SqliteDb& db);
void createIndexes(const SqliteDb& db);

} // namespace orvo::refhost
