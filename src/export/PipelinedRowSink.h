#pragma once

#include "export/RowSink.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace expwiz {

// Writes the rows of another sink on a thread of its own, so formatting,
// quoting, encoding and writing run beside the host's reading instead of
// after it. Every call is recorded as bytes into a batch; a full batch goes
// to the writing thread, which replays it onto the sink in the same order.
// A few batches are in flight at most, so memory stays bounded whatever
// the row count.
//
// The file is byte for byte the one the sink writes on its own, and a
// failure of the writing thread is raised on the calling thread at the next
// row (or at finishRows/commit), with failedRow() naming the row the sink
// was writing. The lines at the top are written straight, before the thread
// starts, so a failure there is one of creating the file. commit() and
// discard() wait for the thread first; linesInFile() and
// replacedCharacters() are those of the sink once it has stopped.
//
// The recorded texts are plain bytes: no Qt object is shared between the
// two threads.
class PipelinedRowSink final : public RowSink {
public:
    explicit PipelinedRowSink(std::unique_ptr<RowSink> sink);
    ~PipelinedRowSink() override;
    PipelinedRowSink(const PipelinedRowSink&) = delete;
    PipelinedRowSink& operator=(const PipelinedRowSink&) = delete;

    void textLine(QStringView csvLine) override;
    void value(FieldType type, QStringView hostValue) override;
    void valueUtf8(FieldType type, std::string_view hostValue) override;
    void text(QStringView cell) override;
    void endRow() override;
    void finishRows() override;
    void commit() override;
    void discard() noexcept override;

    qsizetype replacedCharacters() const override;
    int64_t linesInFile() const override;
    const QString& targetPath() const override { return targetPath_; }
    int32_t failedRow() const override { return failedRow_; }

private:
    enum class Op : unsigned char { Value, ValueUtf8, Text, TextLine, EndRow };
    // Before: the top lines go straight to the sink. Running: rows are
    // recorded for the writing thread. Finished: it has stopped, anything
    // more goes straight to the sink again.
    enum class State { Before, Running, Finished };
    struct Batch {
        std::vector<char> bytes;
        size_t used = 0;
    };

    void record(Op op, FieldType type, const void* data, size_t size);
    void handOff();
    void startWorker();
    void stopWorker(bool abandon) noexcept;
    void rethrowFailure();
    void work();
    void replay(const Batch& batch);
    void replayOne(Op op, FieldType type, const char* data, size_t size);

    std::unique_ptr<RowSink> sink_;
    const QString targetPath_;
    State state_ = State::Before;      // the calling thread's
    Batch batch_;                      // being recorded on the calling thread
    std::u16string wide_;              // the writing thread's

    std::thread worker_;
    mutable std::mutex mutex_;
    std::condition_variable work_;     // a batch is ready, or the end
    std::condition_variable room_;     // a batch was written
    std::deque<Batch> ready_;
    std::vector<Batch> spare_;
    int batches_ = 1;                  // allocated, at most kBatches
    bool closing_ = false;             // no more batches come
    bool abandoned_ = false;           // the rest is not written
    std::atomic<bool> failed_{false};
    int32_t failureNumber_ = 0;
    std::u16string failureDescription_;
    std::exception_ptr failure_;       // anything but a host error
    int32_t failedRow_ = 0;
    int32_t rowsReplayed_ = 0;         // the writing thread's own count
    int64_t linesInFile_ = 0;          // the sink's, after each batch
    qsizetype replacedCharacters_ = 0;
};

} // namespace expwiz
