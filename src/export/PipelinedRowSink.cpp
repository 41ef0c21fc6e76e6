#include "export/PipelinedRowSink.h"

#include "host/HostError.h"

#include <cstring>

namespace expwiz {

namespace {
// A batch is handed over at the first row end past this many recorded
// bytes; with kBatches of them the memory in flight stays well under a
// megabyte, and a hand-over costs little next to the rows it carries.
constexpr size_t kBatchBytes = 64 * 1024;
constexpr int kBatches = 4;
// Operation and field type share the first byte of a record.
constexpr unsigned kTypeBits = 4;
// That byte and the length of the bytes that follow.
constexpr size_t kRecordHead = 1 + sizeof(uint32_t);
static_assert(static_cast<int>(FieldType::Indicator) < (1 << kTypeBits));
} // namespace

PipelinedRowSink::PipelinedRowSink(std::unique_ptr<RowSink> sink)
    : sink_(std::move(sink)), targetPath_(sink_->targetPath())
{
    batch_.bytes.resize(kBatchBytes + kBatchBytes / 4);
}

PipelinedRowSink::~PipelinedRowSink()
{
    stopWorker(true);
}

void PipelinedRowSink::record(Op op, FieldType type, const void* data, size_t size)
{
    if (state_ != State::Running) {
        if (state_ == State::Finished) {
            replayOne(op, type, static_cast<const char*>(data), size);
            return;
        }
        startWorker();
    }
    const size_t need = batch_.used + kRecordHead + size;
    if (need > batch_.bytes.size())
        batch_.bytes.resize(need + need / 2);
    char* p = batch_.bytes.data() + batch_.used;
    *p++ = static_cast<char>((static_cast<unsigned>(op) << kTypeBits) | static_cast<unsigned>(type));
    if (op != Op::EndRow) {
        const auto length = static_cast<uint32_t>(size);
        std::memcpy(p, &length, sizeof length);
        p += sizeof length;
        if (size > 0)
            std::memcpy(p, data, size);
        p += size;
    }
    batch_.used = static_cast<size_t>(p - batch_.bytes.data());
}

void PipelinedRowSink::textLine(QStringView csvLine)
{
    // The lines at the top go straight to the file, as before the rows.
    if (state_ == State::Before)
        sink_->textLine(csvLine);
    else
        record(Op::TextLine, FieldType::Plain, csvLine.utf16(), size_t(csvLine.size()) * sizeof(char16_t));
}

void PipelinedRowSink::value(FieldType type, QStringView hostValue)
{
    record(Op::Value, type, hostValue.utf16(), size_t(hostValue.size()) * sizeof(char16_t));
}

void PipelinedRowSink::valueUtf8(FieldType type, std::string_view hostValue)
{
    // The value of nearly every cell: recorded here without a call while
    // the batch has room.
    const size_t size = hostValue.size();
    if (state_ == State::Running && batch_.used + kRecordHead + size <= batch_.bytes.size()) {
        char* p = batch_.bytes.data() + batch_.used;
        *p = static_cast<char>((static_cast<unsigned>(Op::ValueUtf8) << kTypeBits) | static_cast<unsigned>(type));
        const auto length = static_cast<uint32_t>(size);
        std::memcpy(p + 1, &length, sizeof length);
        if (size > 0)   // an empty view may have no data at all
            std::memcpy(p + kRecordHead, hostValue.data(), size);
        batch_.used += kRecordHead + size;
        return;
    }
    record(Op::ValueUtf8, type, hostValue.data(), hostValue.size());
}

void PipelinedRowSink::text(QStringView cell)
{
    record(Op::Text, FieldType::Plain, cell.utf16(), size_t(cell.size()) * sizeof(char16_t));
}

void PipelinedRowSink::endRow()
{
    record(Op::EndRow, FieldType::Plain, nullptr, 0);
    if (state_ != State::Running)
        return;
    if (failed_.load(std::memory_order_acquire))
        rethrowFailure();
    if (batch_.used >= kBatchBytes)
        handOff();
}

void PipelinedRowSink::handOff()
{
    std::unique_lock lock(mutex_);
    ready_.push_back(std::move(batch_));
    work_.notify_one();
    if (spare_.empty() && batches_ < kBatches) {
        ++batches_;
        batch_ = Batch{};
        batch_.bytes.resize(kBatchBytes + kBatchBytes / 4);
        return;
    }
    room_.wait(lock, [this] { return !spare_.empty(); });
    batch_ = std::move(spare_.back());
    spare_.pop_back();
    batch_.used = 0;
}

void PipelinedRowSink::startWorker()
{
    state_ = State::Running;
    worker_ = std::thread([this] { work(); });
}

void PipelinedRowSink::stopWorker(bool abandon) noexcept
{
    if (state_ != State::Running)
        return;
    {
        const std::lock_guard lock(mutex_);
        if (!abandon && batch_.used > 0)
            ready_.push_back(std::move(batch_));
        closing_ = true;
        abandoned_ = abandon;
    }
    work_.notify_one();
    worker_.join();
    state_ = State::Finished;
}

void PipelinedRowSink::finishRows()
{
    stopWorker(false);
    if (failed_.load(std::memory_order_acquire))
        rethrowFailure();
}

void PipelinedRowSink::commit()
{
    finishRows();
    sink_->commit();
}

void PipelinedRowSink::discard() noexcept
{
    stopWorker(true);
    sink_->discard();
}

void PipelinedRowSink::rethrowFailure()
{
    const std::lock_guard lock(mutex_);
    if (failure_)
        std::rethrow_exception(failure_);
    throw orvo::HostError(failureNumber_, QString::fromStdU16String(failureDescription_));
}

qsizetype PipelinedRowSink::replacedCharacters() const
{
    if (state_ != State::Running)
        return sink_->replacedCharacters();
    const std::lock_guard lock(mutex_);
    return replacedCharacters_;
}

int64_t PipelinedRowSink::linesInFile() const
{
    if (state_ != State::Running)
        return sink_->linesInFile();
    const std::lock_guard lock(mutex_);
    return linesInFile_;
}

void PipelinedRowSink::work()
{
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [this] { return !ready_.empty() || closing_; });
            if (abandoned_ || ready_.empty())
                return;
            batch = std::move(ready_.front());
            ready_.pop_front();
        }
        // After a failure the batches still come back, so the calling
        // thread never waits for room, but nothing more is written.
        if (!failed_.load(std::memory_order_relaxed)) {
            try {
                replay(batch);
            } catch (const orvo::HostError& e) {
                const std::lock_guard lock(mutex_);
                failureNumber_ = e.number();
                failureDescription_ = e.description().toStdU16String();
                failedRow_ = rowsReplayed_ + 1;
                failed_.store(true, std::memory_order_release);
            } catch (...) {
                const std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
                failedRow_ = rowsReplayed_ + 1;
                failed_.store(true, std::memory_order_release);
            }
        }
        {
            const std::lock_guard lock(mutex_);
            linesInFile_ = sink_->linesInFile();
            replacedCharacters_ = sink_->replacedCharacters();
            batch.used = 0;
            spare_.push_back(std::move(batch));
        }
        room_.notify_one();
    }
}

void PipelinedRowSink::replay(const Batch& batch)
{
    const char* p = batch.bytes.data();
    const char* const end = p + batch.used;
    while (p < end) {
        const auto head = static_cast<unsigned char>(*p++);
        const auto op = static_cast<Op>(head >> kTypeBits);
        const auto type = static_cast<FieldType>(head & ((1u << kTypeBits) - 1));
        if (op == Op::EndRow) {
            sink_->endRow();
            ++rowsReplayed_;
            continue;
        }
        uint32_t size = 0;
        std::memcpy(&size, p, sizeof size);
        p += sizeof size;
        if (op == Op::ValueUtf8)
            sink_->valueUtf8(type, std::string_view(p, size));
        else
            replayOne(op, type, p, size);
        p += size;
    }
}

void PipelinedRowSink::replayOne(Op op, FieldType type, const char* data, size_t size)
{
    const auto utf16 = [&]() -> QStringView {
        // Copied out, so the view is aligned whatever the record's offset.
        wide_.resize(size / sizeof(char16_t));
        if (size > 0)
            std::memcpy(wide_.data(), data, size);
        return QStringView(wide_.data(), qsizetype(wide_.size()));
    };
    switch (op) {
    case Op::ValueUtf8:
        sink_->valueUtf8(type, std::string_view(data, size));
        break;
    case Op::Value:
        sink_->value(type, utf16());
        break;
    case Op::Text:
        sink_->text(utf16());
        break;
    case Op::TextLine:
        sink_->textLine(utf16());
        break;
    case Op::EndRow:
        sink_->endRow();
        ++rowsReplayed_;
        break;
    }
}

} // namespace expwiz
