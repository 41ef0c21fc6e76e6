#pragma once

namespace orvo::refhost {

class SqliteDb;

// Creates the host's tables in an empty database file.
void createSchema(const SqliteDb& db);
// Creates the indexes the export query needs; after a bulk load is faster.
void createIndexes(const SqliteDb& db);

} // namespace orvo::refhost
