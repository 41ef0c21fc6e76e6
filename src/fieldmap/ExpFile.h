#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace expwiz {

// A value of a map file that is no field id, with the byte offset it starts at.
struct ExpSkippedValue {
    int32_t value = 0;
    qint64 offset = 0;

    friend bool operator==(const ExpSkippedValue&, const ExpSkippedValue&) = default;
};

struct ExpReadResult {
    std::vector<int32_t> ids;                     // the field ids, in file order
    std::vector<ExpSkippedValue> skippedValues;   // values outside 1001..1113, left out
    int trailingBytes = 0;                        // a last fragment shorter than one id, ignored

    bool isClean() const noexcept { return skippedValues.empty() && trailingBytes == 0; }
};

// The field map file: the ids of the map as 32-bit little-endian signed
// integers in map order, nothing else (n entries = 4 x n bytes).
class ExpFile {
public:
    // Reads a map file. Missing, unreadable or a folder: orvo::HostError with
    // the runtime number (53 file not found, 70 permission denied, 75 access
    // error, 76 folder missing) and a description naming the file.
    // A file larger than kMaxFileSize is refused before it is read (6).
    static ExpReadResult read(const QString& path);

    static constexpr qint64 kMaxFileSize = 64 * 1024;

    // Writes the map, replacing the file atomically: a failed save leaves the
    // previous file complete. Raises orvo::HostError naming the file
    // (61 disk full, 70, 75, 76).
    static void write(const QString& path, const std::vector<int32_t>& ids);

    static QByteArray encode(const std::vector<int32_t>& ids);
    static ExpReadResult decode(const QByteArray& bytes);
};

} // namespace expwiz
