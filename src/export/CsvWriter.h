#pragma once

#include "export/AtomicFile.h"

#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace expwiz {

// The export file: lines of quoted cells joined by ",", each line ended by
// CR LF, written through one buffer into an AtomicFile. A double quote
// inside a cell is doubled, so every CSV reader sees the cells as written,
// commas and line breaks included.
//
// The text is encoded with the system's 8-bit codec unless another
// encoding is named; characters the encoding cannot represent are replaced
// by the codec and counted. When the encoding is UTF-8 a line is composed
// as bytes and the host's UTF-8 values are copied, not converted; otherwise
// it is composed as UTF-16 and encoded once per line.
class CsvWriter {
public:
    struct Options {
        QString encoding;            // empty or "System": the system codec
        bool byteOrderMark = false;  // only the Unicode encodings have one
        AtomicFile::WriteFunction write;
        // An open descriptor (standard output) written instead of a file:
        // the bytes go out as they come, with no temporary and no rename.
        int descriptor = -1;
    };

    // Creates the temporary file beside the target; raises orvo::HostError.
    CsvWriter(const QString& targetPath, const Options& options);

    // One quoted cell of the current line.
    void cell(QStringView text);
    // One quoted cell from UTF-8 bytes; malformed sequences are written as
    // replacement characters, as a conversion to text would.
    void cell(std::string_view utf8);
    // Text written as it is into the current line.
    void raw(QStringView text);
    void endLine();

    // Writes everything and replaces the target (see AtomicFile::commit).
    void commit();
    void discard() noexcept
    {
        if (file_)
            file_->discard();
    }

    qsizetype replacedCharacters() const { return encoder_.invalidCharacters(); }
    const QString& targetPath() const { return file_ ? file_->targetPath() : streamName_; }
    // Whole lines that reached the file; lines still in the buffer are not
    // counted.
    int64_t linesInFile() const { return linesInFile_; }

    // The quoted form of one cell.
    static void appendQuoted(QStringView text, QString& out);
    static QString quoted(QStringView text);
    static bool isKnownEncoding(const QString& name);

private:
    // The codec's own count of replaced characters is kept in its state.
    class CountingEncoder : public QStringEncoder {
    public:
        using QStringEncoder::QStringEncoder;
        qsizetype invalidCharacters() const { return state.invalidChars; }
    };
    static CountingEncoder makeEncoder(const QString& name, bool byteOrderMark);
    void startCell();
    // Room for `size` more bytes of the line composed in bytes_.
    char* bytesRoom(size_t size)
    {
        if (bytesUsed_ + size > bytes_.size())
            bytes_.resize(2 * (bytesUsed_ + size));
        return bytes_.data() + bytesUsed_;
    }
    void appendEncoded(QStringView text);
    void flush();

    // The encoder comes first: an unknown encoding fails before the
    // temporary file is created.
    CountingEncoder encoder_;
    std::optional<AtomicFile> file_;
    int descriptor_ = -1;
    QString streamName_;
    bool utf8_ = false;          // the line is composed in bytes_, not line_
    bool bomPending_ = false;    // the UTF-8 byte-order mark is still to be written
    std::u16string line_;   // inline appends: this is the per-cell path
    std::vector<char> bytes_;   // written through bytesRoom: the per-cell path in UTF-8
    size_t bytesUsed_ = 0;
    QString wide_;
    std::vector<char> buffer_;
    size_t used_ = 0;
    int64_t linesBuffered_ = 0;
    int64_t linesInFile_ = 0;
    bool lineStarted_ = false;
};

} // namespace expwiz
