#include "pghost/PgConnection.h"

#include "refhost/CellText.h"
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

// A count runs with the settings of the cursors' sessions (see
// PgSessionPool), in a transaction of its own on the host's session.
constexpr const char* kStreamingCount = "BEGIN; SET LOCAL max_parallel_workers_per_gather = 0; SET LOCAL jit = off";

// The server's text of a plain decimal ([-]digits[.digits]) that has at
// most fifteen significant digits and needs no exponent reads exactly as
// the host's REAL text of the same number: the digits without trailing
// zeros, a whole number with ".0". Anything else (exponents, longer digits,
// zero, tiny values) goes through the double and returns false.
bool appendShortDecimal(const char* text, std::size_t n, std::string& out)
{
    std::size_t i = text[0] == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        ++i;
    const std::size_t intEnd = i;
    std::size_t fracEnd = i;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i;
        fracEnd = i;
        while (fracEnd > intEnd + 1 && text[fracEnd - 1] == '0')
            --fracEnd;
        if (fracEnd == intEnd + 1)
            fracEnd = intEnd;   // only zeros after the point
    }
    if (i != n || intEnd == intStart)
        return false;
    std::size_t lead = intStart;
    while (lead < intEnd && text[lead] == '0')
        ++lead;
    std::size_t significant = 0;
    if (lead < intEnd) {
        significant = (intEnd - lead) + (fracEnd > intEnd ? fracEnd - intEnd - 1 : 0);
    } else {
        if (fracEnd == intEnd)
            return false;   // zero keeps its sign through the double
        std::size_t zeros = intEnd + 1;
        while (text[zeros] == '0')
            ++zeros;
        if (zeros - (intEnd + 1) > 3)
            return false;   // below 0.0001 the text takes an exponent
        significant = fracEnd - zeros;
    }
    if (significant > 15)
        return false;
    if (text[0] == '-')
        out += '-';
    if (lead < intEnd)
        out.append(text + lead, intEnd - lead);
    else
        out += '0';
    if (fracEnd > intEnd)
        out.append(text + intEnd, fracEnd - intEnd);
    else
        out += ".0";
    return true;
}

} // namespace

PgCursor::PgCursor(std::shared_ptr<PgSessionPool> sessions, const QString& sql)
    : sessions_(std::move(sessions)), session_(sessions_->take()), sql_(sql)
{
    PGconn* conn = session_->handle();
    QByteArray query = sql.toUtf8().trimmed();
    while (query.endsWith(';'))
        query = query.chopped(1).trimmed();
    // Bad SQL fails here, as it does when the statement is prepared; the
    // description gives the columns' types, which the copy does not.
    const PgResult prepared(PQprepare(conn, "", query.constData(), 0, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        session_->fail(prepared.get(), sql);
    const PgResult described(PQdescribePrepared(conn, ""));
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        session_->fail(described.get(), sql);
    for (int c = 0; c < PQnfields(described.get()); ++c) {
        const Oid type = PQftype(described.get(), c);
        kinds_.push_back(type == kFloat4 || type == kFloat8 ? Kind::Real
                                                            : (type == kNumeric ? Kind::Numeric : Kind::Text));
    }
    if (!PQsendQuery(conn, QByteArray("COPY (" + query + ") TO STDOUT").constData()))
        session_->fail(nullptr, sql);
    PgResult started(PQgetResult(conn));
    if (PQresultStatus(started.get()) != PGRES_COPY_OUT) {
        while (PgResult(PQgetResult(conn))) {
        }
        session_->fail(started.get(), sql);
    }
    readAhead();
}

PgCursor::~PgCursor()
{
    if (done_ && !failure_)
        sessions_->give(std::move(session_));
}

void PgCursor::readAhead()
{
    ahead_.line.reset();
    if (done_)
        return;
    PGconn* conn = session_->handle();
    char* line = nullptr;
    const int n = PQgetCopyData(conn, &line, 0);
    if (n > 0) {
        ahead_.line.reset(line);
        parse(line, n, ahead_);
        if (ahead_.fields.size() == kinds_.size())
            return;
    }
    done_ = true;
    const bool misshapen = n > 0;
    ahead_.line.reset();
    // The copy ends with its command's result, then none.
    PgResult result(PQgetResult(conn));
    for (PgResult more(PQgetResult(conn)); more && PQresultStatus(more.get()) != PGRES_COPY_OUT;
         more.reset(PQgetResult(conn))) {
    }
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (n == -1 && status == PGRES_COMMAND_OK)
        return;
    try {
        if (misshapen)
            throw HostError(errnum::HostFailure,
                            QStringLiteral("The server sent a row of %1 columns where %2 were described (SQL: %3)")
                                .arg(ahead_.fields.size())
                                .arg(kinds_.size())
                                .arg(sql_));
        session_->fail(status == PGRES_FATAL_ERROR ? result.get() : nullptr, sql_);
    } catch (const HostError& e) {
        failure_ = e;
        onRow_ = false;
        throw;
    }
}

void PgCursor::parse(char* line, int length, Row& row) const
{
    // Text COPY: fields split by tabs, \N alone is NULL, and a backslash
    // escapes the rest (\t \n \r \b \f \v, octal \ooo, hex \xhh, or the
    // character itself). Unescaping never grows a field, so it runs in place
    // and each field ends with a NUL for the number parser.
    row.fields.clear();
    if (length > 0 && line[length - 1] == '\n')
        --length;
    if (length == 0 && kinds_.empty())
        return;
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    const auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0'
             : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1));
    };
    int i = 0;
    for (;;) {
        if (line[i] == '\\' && i + 1 < length && line[i + 1] == 'N' && (i + 2 == length || line[i + 2] == '\t')) {
            row.fields.emplace_back(i, -1);
            i += 2;
        } else {
            const int start = i;
            // Most fields have no escapes: they stay where they are.
            while (i < length && line[i] != '\t' && line[i] != '\\')
                ++i;
            int w = i;
            while (i < length && line[i] != '\t') {
                char c = line[i++];
                if (c == '\\' && i < length) {
                    c = line[i++];
                    switch (c) {
                    case 'b': c = '\b'; break;
                    case 'f': c = '\f'; break;
                    case 'n': c = '\n'; break;
                    case 'r': c = '\r'; break;
                    case 't': c = '\t'; break;
                    case 'v': c = '\v'; break;
                    case 'x':
                        if (i < length && hex(line[i]) >= 0) {
                            int v = hex(line[i++]);
                            if (i < length && hex(line[i]) >= 0)
                                v = v * 16 + hex(line[i++]);
                            c = static_cast<char>(v);
                        }
                        break;
                    default:
                        if (octal(c)) {
                            int v = c - '0';
                            for (int k = 0; k < 2 && i < length && octal(line[i]); ++k)
                                v = v * 8 + (line[i++] - '0');
                            c = static_cast<char>(v);
                        }
                        break;
                    }
                }
                line[w++] = c;
            }
            line[w] = '\0';
            row.fields.emplace_back(start, w - start);
        }
        if (i >= length)
            break;
        ++i;   // the tab; a tab at the end leaves one more, empty field
    }
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
    std::swap(current_, ahead_);
    ahead_.line.reset();   // the row just left is gone, never seen again
    onRow_ = current_.line != nullptr;
    if (onRow_)
        readAhead();
    return onRow_;
}

bool PgCursor::IsLastRow()
{
    return onRow_ && !ahead_.line;
}

QString PgCursor::Item(int32_t column)
{
    QString out;
    ReadItem(column, out);
    return out;
}

std::string_view PgCursor::value(int32_t column)
{
    if (!onRow_ || column < 0 || column >= Count())
        throw HostError(errnum::SubscriptOutOfRange,
                        onRow_ ? QStringLiteral("Column %1 is not in the result (it has %2 columns).")
                                     .arg(column)
                                     .arg(Count())
                               : QStringLiteral("The cursor is not on a row."));
    const auto [start, length] = current_.fields[static_cast<size_t>(column)];
    if (length < 0)
        return {};
    const char* text = current_.line.get() + start;
    const auto n = static_cast<std::size_t>(length);
    const Kind kind = kinds_[static_cast<size_t>(column)];
    if (kind == Kind::Text)
        return {text, n};
    // Numbers read as the host has always shown them: a REAL with 15
    // significant digits, a NUMERIC that is whole as an integer. Most REALs
    // are short decimals, read without the double.
    scratch_.clear();
    if (kind == Kind::Real && appendShortDecimal(text, n, scratch_))
        return scratch_;
    const double number = std::strtod(text, nullptr);
    if (kind == Kind::Numeric && std::nearbyint(number) == number && std::fabs(number) < 9.2e18)
        scratch_ = std::to_string(static_cast<long long>(number));
    else if (!appendShortDecimal(text, n, scratch_))
        refhost::appendRealText(number, scratch_);
    return scratch_;
}

std::string_view PgCursor::ReadItemUtf8(int32_t column, std::string& /*buffer*/)
{
    return value(column);
}

void PgCursor::ReadItem(int32_t column, QString& out)
{
    out.resize(0);   // empty when the column cannot be read
    refhost::assignCellText(value(column), out);
}

std::shared_ptr<IOrvoCursor> PgConnection::OpenCursor(const QString& sql, int32_t /*batchSize*/)
{
    // The rows stream one by one: there is no batch to size.
    return std::make_shared<PgCursor>(cursorSessions_, sql);
}

int32_t PgConnection::CountRows(const QString& sql)
{
    // The settings end with the count's transaction: the host's session
    // keeps its own for everything else.
    session_->exec(kStreamingCount);
    PgResult r;
    try {
        r = session_->exec(sql);
    } catch (const HostError&) {
        PgResult(PQexec(session_->handle(), "ROLLBACK"));
        throw;
    }
    session_->exec("COMMIT");
    if (PQntuples(r.get()) == 0 || PQnfields(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return 0;
    const long long n = std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
    if (n > std::numeric_limits<int32_t>::max())
        throw HostError(errnum::Overflow, QStringLiteral("The count %1 does not fit a 32-bit counter.").arg(n));
    return static_cast<int32_t>(n);
}

} // namespace orvo::pghost
