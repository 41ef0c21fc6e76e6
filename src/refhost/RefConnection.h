#pragma once

#include "host/OrvoInterfaces.h"
#include "refhost/Sqlite.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
    std::string_view ReadItemUtf8(int32_t column, std::string& buffer) override;

private:
    // A row's values one after another in one buffer, so reading ahead
    // copies each value once without a string of its own; ends[c + 1] is
    // where column c stops.
    struct Row {
        std::string bytes;
        std::vector<size_t> ends;
    };

    void fetchAhead();
    // The current row's value of a column; raises HostError off a row or column.
    std::string_view value(int32_t column) const;

    std::shared_ptr<SqliteDb> db_;   // keeps the connection alive while the cursor is
    SqliteStatement statement_;
    int columns_ = 0;
    bool started_ = false;
    bool onRow_ = false;
    bool aheadValid_ = false;
    Row current_, ahead_;
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
