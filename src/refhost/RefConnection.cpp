#include "refhost/RefConnection.h"

#include "refhost/CellText.h"
#include "refhost/RealText.h"

#include <limits>
#include <utility>

namespace orvo::refhost {

RefCursor::RefCursor(std::shared_ptr<SqliteDb> db, const QString& sql)
    : db_(std::move(db)), statement_(*db_, sql), columns_(statement_.columnCount())
{
    for (Row* row : {&current_, &ahead_})
        row->ends.assign(static_cast<size_t>(columns_) + 1, 0);
}

std::shared_ptr<IOrvoRowset> RefCursor::Rows() { return shared_from_this(); }
std::shared_ptr<IOrvoFields> RefCursor::Fields() { return shared_from_this(); }
int32_t RefCursor::Count() { return columns_; }

void RefCursor::fetchAhead()
{
    aheadValid_ = false;
    if (failure_)
        return;
    try {
        aheadValid_ = statement_.step();
    } catch (const HostError& e) {
        // Reported when the caller moves onto the row that could not be read.
        failure_ = e;
        return;
    }
    if (!aheadValid_)
        return;
    std::string& bytes = ahead_.bytes;
    bytes.clear();   // keeps its capacity
    size_t* const ends = ahead_.ends.data();
    for (int c = 0; c < columns_; ++c) {
        if (statement_.isReal(c)) {
            // The same text SQLite gives, without its slower printf.
            appendRealText(statement_.real(c), bytes);
        } else {
            const std::string_view v = statement_.utf8(c);
            bytes.append(v.data(), v.size());
        }
        ends[c + 1] = bytes.size();
    }
}

bool RefCursor::MoveFirst()
{
    if (started_)
        return onRow_;   // forward-only: the first row is where we are, or gone
    started_ = true;
    fetchAhead();
    return MoveNext();
}

bool RefCursor::MoveNext()
{
    if (!started_)
        return MoveFirst();
    if (!aheadValid_) {
        onRow_ = false;
        if (failure_)
            throw *failure_;
        return false;
    }
    std::swap(current_, ahead_);
    onRow_ = true;
    fetchAhead();
    return true;
}

bool RefCursor::IsLastRow()
{
    // After a failed read the end is unknown: the failure shows on MoveNext.
    return onRow_ && !aheadValid_ && !failure_;
}

QString RefCursor::Item(int32_t column)
{
    QString out;
    ReadItem(column, out);
    return out;
}

std::string_view RefCursor::value(int32_t column) const
{
    if (!onRow_ || column < 0 || column >= columns_)
        throw HostError(errnum::SubscriptOutOfRange,
                        onRow_ ? QStringLiteral("Column %1 is not in the result (it has %2 columns).")
                                     .arg(column)
                                     .arg(columns_)
                               : QStringLiteral("The cursor is not on a row."));
    const size_t* const ends = current_.ends.data() + column;
    return {current_.bytes.data() + ends[0], ends[1] - ends[0]};
}

std::string_view RefCursor::ReadItemUtf8(int32_t column, std::string& /*buffer*/)
{
    return value(column);
}

void RefCursor::ReadItem(int32_t column, QString& out)
{
    out.resize(0);   // empty when the column cannot be read
    assignCellText(value(column), out);
}

RefConnection::RefConnection(std::shared_ptr<SqliteDb> db) : db_(std::move(db)) {}

std::shared_ptr<IOrvoCursor> RefConnection::OpenCursor(const QString& sql, int32_t /*batchSize*/)
{
    return std::make_shared<RefCursor>(db_, sql);
}

int32_t RefConnection::CountRows(const QString& sql)
{
    SqliteStatement statement(*db_, sql);
    if (!statement.step())
        return 0;
    const int64_t n = statement.int64(0);
    if (n > std::numeric_limits<int32_t>::max())
        throw HostError(errnum::Overflow, QStringLiteral("The count %1 does not fit a 32-bit counter.").arg(n));
    return static_cast<int32_t>(n);
}

} // namespace orvo::refhost
