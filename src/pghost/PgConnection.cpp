#include "pghost/PgConnection.h"

#include "refhost/RealText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace orvo::pghost {

namespace {

// Type oids of the server's floating-point and numeric columns.
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

} // namespace

PgCursor::PgCursor(std::unique_ptr<PgSession> session, const QString& sql)
    : session_(std::move(session)), sql_(sql)
{
    PGconn* conn = session_->handle();
    if (!PQsendQuery(conn, sql.toUtf8().constData()) || !PQsetSingleRowMode(conn))
        session_->fail(nullptr, sql);
    // Bad SQL fails here, as it does when the statement is prepared.
    ahead_ = nextRow();
}

void PgCursor::describe(const PGresult* result)
{
    if (!kinds_.empty() || !result)
        return;
    for (int c = 0; c < PQnfields(result); ++c) {
        const Oid type = PQftype(result, c);
        kinds_.push_back(type == kFloat4 || type == kFloat8 ? Kind::Real
                                                            : (type == kNumeric ? Kind::Numeric : Kind::Text));
    }
}

PgResult PgCursor::nextRow()
{
    if (done_)
        return {};
    PGconn* conn = session_->handle();
    PgResult result(PQgetResult(conn));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_SINGLE_TUPLE) {
        describe(result.get());
        return result;
    }
    done_ = true;
    // The query's last result is followed by none; drain it either way.
    while (PgResult(PQgetResult(conn))) {
    }
    if (status != PGRES_TUPLES_OK) {
        try {
            session_->fail(result.get(), sql_);
        } catch (const HostError& e) {
            failure_ = e;
            onRow_ = false;
            throw;
        }
    }
    describe(result.get());   // an empty result still has its columns
    return {};
}

std::shared_ptr<IOrvoRowset> PgCursor::Rows() { return shared_from_this(); }
std::shared_ptr<IOrvoFields> PgCursor::Fields() { return shared_from_this(); }
int32_t PgCursor::Count() { return static_cast<int32_t>(kinds_.size()); }

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
    current_ = std::move(ahead_);
    onRow_ = current_ != nullptr;
    if (onRow_)
        ahead_ = nextRow();
    return onRow_;
}

bool PgCursor::IsLastRow()
{
    return onRow_ && !ahead_;
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
    PGresult* row = current_.get();
    if (PQgetisnull(row, 0, column))
        return;
    const char* value = PQgetvalue(row, 0, column);
    qsizetype n = PQgetlength(row, 0, column);
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

std::shared_ptr<IOrvoCursor> PgConnection::OpenCursor(const QString& sql, int32_t /*batchSize*/)
{
    // The rows stream one by one: there is no batch to size.
    return std::make_shared<PgCursor>(
        std::make_unique<PgSession>(session_->conninfo(), session_->databaseName(), session_->serverDatabase()), sql);
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
