#include "pghost/PgConnection.h"

#include "refhost/RealText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace orvo::pghost {

namespace {

// Type oids of the server's floating-point and numeric columns.
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

// Fewer rows a round trip cost more in waiting than they save in memory.
constexpr int kMinBatch = 1000;
constexpr int kMaxBatch = 10000;

} // namespace

PgCursor::PgCursor(std::unique_ptr<PgSession> session, const QString& sql, int batchSize)
    : session_(std::move(session)), batchSize_(std::clamp(batchSize, kMinBatch, kMaxBatch))
{
    session_->exec("BEGIN READ ONLY");
    const QByteArray declare = "DECLARE expwiz_rows NO SCROLL CURSOR FOR " + sql.toUtf8();
    PgResult declared(PQexec(session_->handle(), declare.constData()));
    if (!declared || PQresultStatus(declared.get()) != PGRES_COMMAND_OK)
        session_->fail(declared.get(), sql);
    PgResult described(PQdescribePortal(session_->handle(), "expwiz_rows"));
    if (!described || PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        session_->fail(described.get(), sql);
    for (int c = 0; c < PQnfields(described.get()); ++c) {
        const Oid type = PQftype(described.get(), c);
        kinds_.push_back(type == kFloat4 || type == kFloat8 ? Kind::Real
                                                            : (type == kNumeric ? Kind::Numeric : Kind::Text));
    }
    fetchSql_ = "FETCH FORWARD " + QByteArray::number(batchSize_) + " FROM expwiz_rows";
}

std::shared_ptr<IOrvoRowset> PgCursor::Rows() { return shared_from_this(); }
std::shared_ptr<IOrvoFields> PgCursor::Fields() { return shared_from_this(); }
int32_t PgCursor::Count() { return static_cast<int32_t>(kinds_.size()); }

PgResult PgCursor::fetch()
{
    if (failure_)
        throw *failure_;
    try {
        PgResult batch = session_->exec(QString::fromUtf8(fetchSql_));
        if (rowsIn(batch) < batchSize_)
            exhausted_ = true;
        return batch;
    } catch (const HostError& e) {
        failure_ = e;
        onRow_ = false;
        throw;
    }
}

PgResult PgCursor::nextBatch()
{
    if (ahead_)
        return std::move(ahead_);
    if (exhausted_)
        return {};
    return fetch();
}

bool PgCursor::MoveFirst()
{
    if (started_)
        return onRow_;   // forward-only: the first row is where we are, or gone
    started_ = true;
    return MoveNext();
}

bool PgCursor::MoveNext()
{
    if (!started_)
        return MoveFirst();
    if (failure_)
        throw *failure_;
    if (++row_ >= rowsIn(current_)) {
        current_ = nextBatch();
        row_ = 0;
        if (rowsIn(current_) == 0) {
            onRow_ = false;
            current_.reset();
            return false;
        }
    }
    onRow_ = true;
    return true;
}

bool PgCursor::IsLastRow()
{
    if (!onRow_ || row_ + 1 < rowsIn(current_))
        return false;
    if (!ahead_ && !exhausted_)
        ahead_ = fetch();
    return rowsIn(ahead_) == 0;
}

QString PgCursor::Item(int32_t column)
{
    QString out;
    ReadItem(column, out);
    return out;
}

void PgCursor::ReadItem(int32_t column, QString& out)
{
    out.resize(0);
    if (!onRow_ || column < 0 || column >= Count())
        throw HostError(errnum::SubscriptOutOfRange,
                        onRow_ ? QStringLiteral("Column %1 is not in the result (it has %2 columns).")
                                     .arg(column)
                                     .arg(Count())
                               : QStringLiteral("The cursor is not on a row."));
    PGresult* batch = current_.get();
    if (PQgetisnull(batch, row_, column))
        return;
    const char* value = PQgetvalue(batch, row_, column);
    qsizetype n = PQgetlength(batch, row_, column);
    const Kind kind = kinds_[static_cast<size_t>(column)];
    if (kind != Kind::Text) {
        // Numbers read as the host has always shown them: a REAL with 15
        // significant digits, a NUMERIC that is whole as an integer.
        const double number = std::strtod(value, nullptr);
        scratch_.clear();
        if (kind == Kind::Numeric && std::nearbyint(number) == number && std::fabs(number) < 9.2e18)
            scratch_ = std::to_string(static_cast<long long>(number));
        else
            refhost::appendRealText(number, scratch_);
        value = scratch_.data();
        n = static_cast<qsizetype>(scratch_.size());
    }
    // Most values are ASCII: widen them in place into the caller's buffer.
    out.resize(n);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto ch = static_cast<unsigned char>(value[i]);
        if (ch >= 0x80) {
            out = QString::fromUtf8(value, n);
            return;
        }
        dst[i] = QChar(ch);
    }
}

std::shared_ptr<IOrvoCursor> PgConnection::OpenCursor(const QString& sql, int32_t batchSize)
{
    return std::make_shared<PgCursor>(std::make_unique<PgSession>(session_->conninfo(), session_->databaseName(), session_->serverDatabase()), sql,
                                      batchSize);
}

int32_t PgConnection::CountRows(const QString& sql)
{
    const PgResult r = session_->exec(sql);
    if (PQntuples(r.get()) == 0 || PQnfields(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return 0;
    const long long n = std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
    if (n > std::numeric_limits<int32_t>::max())
        throw HostError(errnum::Overflow, QStringLiteral("The count %1 does not fit a 32-bit counter.").arg(n));
    return static_cast<int32_t>(n);
}

} // namespace orvo::pghost
