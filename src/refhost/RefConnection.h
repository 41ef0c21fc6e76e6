#pragma once

#include "host/OrvoInterfaces.h"
#include "refhost/Sqlite.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvo::refhost {

// A forward-only cursor over one statement. It reads one row ahead so that
// IsLastRow is exact, and never holds more than two rows: a query of a
// million rows streams in constant memory. A failed read leaves the cursor
// failed: every later move raises the same error and never steps the
// statement again, which SQLite would restart from the first row.
class RefCursor : public IOrvoCursor, public IOrvoRowset, public IOrvoFields,
                  public std::enable_shared_from_this<RefCursor> {
public:
    RefCursor(std::shared_ptr<SqliteDb> db, const QString& sql);

    std::shared_ptr<IOrvoRowset> Rows() override;
    bool MoveFirst() override;
    bool MoveNext() override;
    bool IsLastRow() override;
    std::shared_ptr<IOrvoFields> Fields() override;
    int32_t Count() override;
    QString Item(int32_t column) override;
    void ReadItem(int32_t column, QString& out) override;

private:
    void fetchAhead();

    std::shared_ptr<SqliteDb> db_;   // keeps the connection alive while the cursor is
    SqliteStatement statement_;
    int columns_ = 0;
    bool started_ = false;
    bool onRow_ = false;
    bool aheadValid_ = false;
    std::vector<std::string> current_, ahead_;
    std::optional<HostError> failure_;
};

class RefConnection : public IOrvoConnection {
public:
    explicit RefConnection(std::shared_ptr<SqliteDb> db);
    std::shared_ptr<IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override;
    int32_t CountRows(const QString& sql) override;

private:
    std::shared_ptr<SqliteDb> db_;
};

} // namespace orvo::refhost
