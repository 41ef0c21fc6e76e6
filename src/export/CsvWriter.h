#pragma once

#include "export/AtomicFile.h"

#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <string>
#include <vector>

namespace expwiz {

// The export file: lines of quoted cells joined by ",", each line ended by
// CR LF, written through one buffer into an AtomicFile. A double quote
// inside a cell is doubled, so every CSV reader sees the cells as written,
// commas and line breaks included.
//
// The text is encoded with the system's 8-bit codec unless another
// encoding is named; characters the encoding cannot represent are replaced
// by the codec and counted.
class CsvWriter {
public:
    struct Options {
        QString encoding;            // empty or "System": the system codec
        bool byteOrderMark = false;  // only the Unicode encodings have one
        AtomicFile::WriteFunction write;
    };

    // Creates the temporary file beside the target; raises orvo::HostError.
    CsvWriter(const QString& targetPath, const Options& options);

    // One quoted cell of the current line.
    void cell(QStringView text);
    // Text written as it is into the current line.
    void raw(QStringView text);
    void endLine();

    // Writes everything and replaces the target (see AtomicFile::commit).
    void commit();
    void discard() noexcept { file_.discard(); }

    qsizetype replacedCharacters() const { return encoder_.invalidCharacters(); }
    const QString& targetPath() const { return file_.targetPath(); }
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
    void flush();

    // The encoder comes first: an unknown encoding fails before the
    // temporary file is created.
    CountingEncoder encoder_;
    AtomicFile file_;
    std::u16string line_;   // inline appends: this is the per-cell path
    std::vector<char> buffer_;
    size_t used_ = 0;
    int64_t linesBuffered_ = 0;
    int64_t linesInFile_ = 0;
    bool lineStarted_ = false;
};

} // namespace expwiz
