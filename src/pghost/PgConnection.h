#pragma once

#include "host/OrvoInterfaces.h"
#include "pghost/PgSession.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvo::pghost {

// A forward-only cursor over a server-side cursor on a session of its own,
// fetched in batches: a query of a million rows never sits in memory, and
// other calls on the host's session go on while it is open. It reads one
// batch ahead at a batch's last row, so IsLastRow is exact. A failure (a
// lost connection) stays: moving on raises it again, never restarts.
class PgCursor : public IOrvoCursor, public IOrvoRowset, public IOrvoFields,
                 public std::enable_shared_from_this<PgCursor> {
public:
    PgCursor(std::unique_ptr<PgSession> session, const QString& sql, int batchSize);

    std::shared_ptr<IOrvoRowset> Rows() override;
    bool MoveFirst() override;
    bool MoveNext() override;
    bool IsLastRow() override;
    std::shared_ptr<IOrvoFields> Fields() override;
    int32_t Count() override;
    QString Item(int32_t column) override;
    void ReadItem(int32_t column, QString& out) override;

private:
    enum class Kind { Text, Real, Numeric };

    PgResult fetch();
    PgResult nextBatch();
    int rowsIn(const PgResult& batch) const { return batch ? PQntuples(batch.get()) : 0; }

    std::unique_ptr<PgSession> session_;
    QByteArray fetchSql_;
    int batchSize_;
    std::vector<Kind> kinds_;
    PgResult current_, ahead_;
    int row_ = -1;
    bool started_ = false;
    bool onRow_ = false;
    bool exhausted_ = false;   // the server has no rows beyond those fetched
    std::optional<HostError> failure_;
    std::string scratch_;
};

class PgConnection : public IOrvoConnection {
public:
    explicit PgConnection(std::shared_ptr<PgSession> session) : session_(std::move(session)) {}
    std::shared_ptr<IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override;
    int32_t CountRows(const QString& sql) override;

private:
    std::shared_ptr<PgSession> session_;
};

} // namespace orvo::pghost
