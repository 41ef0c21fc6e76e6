#pragma once

#include "host/OrvoInterfaces.h"
#include "pghost/PgSession.h"
#include "pghost/PgSessionPool.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo::pghost {

// A forward-only cursor on a session of its own. The query streams as
// COPY text, one line a row, parsed in place: the server sends its rows
// while the export writes them, a query of a million rows never sits in
// memory, and other calls on the host's session go on while it is open.
// It reads one row ahead, so IsLastRow is exact. A failure (a lost
// connection) stays: moving on raises it again, never restarts the query.
// A cursor that read its query to the end leaves its session to the next.
class PgCursor : public IOrvoCursor, public IOrvoRowset, public IOrvoFields,
                 public std::enable_shared_from_this<PgCursor> {
public:
    PgCursor(std::shared_ptr<PgSessionPool> sessions, const QString& sql);
    ~PgCursor() override;

    std::shared_ptr<IOrvoRowset> Rows() override;
    bool MoveFirst() override;
    bool MoveNext() override;
    bool IsLastRow() override;
    std::shared_ptr<IOrvoFields> Fields() override;
    int32_t Count() override;
    QString Item(int32_t column) override;
    void ReadItem(int32_t column, QString& out) override;
    // A view into the current row (or the number's text), valid until the
    // next read or move.
    std::string_view ReadItemUtf8(int32_t column, std::string& buffer) override;

private:
    enum class Kind { Text, Real, Numeric };

    struct CopyFree {
        void operator()(char* data) const noexcept { PQfreemem(data); }
    };
    // One line of the copy, its fields unescaped in place: each field is
    // its start and length in the line, a length of -1 for NULL.
    struct Row {
        std::unique_ptr<char, CopyFree> line;
        std::vector<std::pair<int, int>> fields;
    };

    // Reads the next row into ahead_, or clears it at the end; a failure
    // raises HostError.
    void readAhead();
    void parse(char* line, int length, Row& row) const;
    std::string_view value(int32_t column);

    std::shared_ptr<PgSessionPool> sessions_;
    std::unique_ptr<PgSession> session_;
    QString sql_;
    std::vector<Kind> kinds_;
    Row current_, ahead_;
    bool started_ = false;
    bool onRow_ = false;
    bool done_ = false;   // the server has sent its last row
    std::optional<HostError> failure_;
    std::string scratch_;
};

class PgConnection : public IOrvoConnection {
public:
    PgConnection(std::shared_ptr<PgSession> session, std::shared_ptr<PgSessionPool> cursorSessions)
        : session_(std::move(session)), cursorSessions_(std::move(cursorSessions))
    {
    }
    std::shared_ptr<IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override;
    int32_t CountRows(const QString& sql) override;

private:
    std::shared_ptr<PgSession> session_;
    std::shared_ptr<PgSessionPool> cursorSessions_;
};

} // namespace orvo::pghost
