#include "export/CsvWriter.h"

#include "host/HostError.h"

#include <QUtf8StringView>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace expwiz {

namespace {
constexpr size_t kBufferSize = 256 * 1024;

bool isSystemName(const QString& name)
{
    return name.isEmpty() || name.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0;
}

// Whether the named encoding (the system's may be any) writes UTF-8.
bool writesUtf8(const QString& name)
{
    QStringEncoder probe = isSystemName(name) ? QStringEncoder(QStringConverter::System)
                                              : QStringEncoder(name.toLatin1().constData());
    const QString text = QStringLiteral("a\u00e9\u20ac\U0001F600");
    return probe.isValid() && QByteArray(probe.encode(text)) == text.toUtf8();
}

bool isAscii(std::string_view text)
{
    // Eight bytes at a time: this runs for every cell.
    const char* p = text.data();
    const char* const end = p + text.size();
    uint64_t high = 0;
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        high |= word;
    }
    for (; p < end; ++p)
        high |= static_cast<unsigned char>(*p);
    return (high & 0x8080808080808080u) == 0;
}
} // namespace

CsvWriter::CountingEncoder CsvWriter::makeEncoder(const QString& name, bool byteOrderMark)
{
    const QStringConverter::Flags flags =
        byteOrderMark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default;
    if (isSystemName(name))
        return CountingEncoder(QStringConverter::System, flags);
    CountingEncoder encoder(name.toLatin1().constData(), flags);
    if (!encoder.isValid())
        throw orvo::HostError(orvo::errnum::InvalidProcedureCall,
                              QStringLiteral("The encoding \"%1\" is not known (try UTF-8 or ISO-8859-1).")
                                  .arg(name));
    return encoder;
}

bool CsvWriter::isKnownEncoding(const QString& name)
{
    return isSystemName(name) || QStringEncoder(name.toLatin1().constData()).isValid();
}

CsvWriter::CsvWriter(const QString& targetPath, const Options& options)
    : encoder_(makeEncoder(options.encoding, options.byteOrderMark)),
      descriptor_(options.descriptor),
      buffer_(kBufferSize)
{
    if (writesUtf8(options.encoding)) {
        // Texts are encoded cell by cell here, so the mark is written once by
        // hand and the encoder keeps no half character between calls.
        utf8_ = true;
        bomPending_ = options.byteOrderMark;
        encoder_ = CountingEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    }
    if (descriptor_ >= 0)
        streamName_ = QStringLiteral("standard output");
    else
        file_.emplace(targetPath, options.write);
    line_.reserve(4096);
    bytes_.reserve(4096);
}

void CsvWriter::appendQuoted(QStringView text, QString& out)
{
    out += QLatin1Char('"');
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('"')); at >= 0;
         at = text.indexOf(QLatin1Char('"'), from)) {
        out += text.mid(from, at + 1 - from);
        out += QLatin1Char('"');
        from = at + 1;
    }
    out += text.mid(from);
    out += QLatin1Char('"');
}

QString CsvWriter::quoted(QStringView text)
{
    QString out;
    appendQuoted(text, out);
    return out;
}

void CsvWriter::startCell()
{
    if (lineStarted_) {
        if (utf8_)
            bytes_ += ',';
        else
            line_ += u',';
    }
    lineStarted_ = true;
}

void CsvWriter::appendEncoded(QStringView text)
{
    const size_t at = bytes_.size();
    bytes_.resize(at + static_cast<size_t>(encoder_.requiredSpace(text.size())));
    char* const end = encoder_.appendToBuffer(bytes_.data() + at, text);
    bytes_.resize(static_cast<size_t>(end - bytes_.data()));
}

void CsvWriter::cell(std::string_view utf8)
{
    if (!utf8_ || !(isAscii(utf8) || QUtf8StringView(utf8.data(), qsizetype(utf8.size())).isValidUtf8())) {
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        cell(QStringView(text));
        return;
    }
    startCell();
    bytes_ += '"';
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    // An empty view may have no data at all: memchr is not asked then.
    for (const char* quote; p < end && (quote = static_cast<const char*>(std::memchr(p, '"', size_t(end - p))));
         p = quote + 1)
        bytes_.append(p, size_t(quote + 1 - p)).push_back('"');
    bytes_.append(p, size_t(end - p));
    bytes_ += '"';
}

void CsvWriter::cell(QStringView text)
{
    if (utf8_) {
        wide_.resize(0);
        appendQuoted(text, wide_);
        startCell();
        appendEncoded(wide_);
        return;
    }
    startCell();
    line_ += u'"';
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    for (const char16_t* quote; (quote = std::char_traits<char16_t>::find(p, size_t(end - p), u'"')); p = quote + 1)
        line_.append(p, size_t(quote + 1 - p)).push_back(u'"');
    line_.append(p, size_t(end - p));
    line_ += u'"';
}

void CsvWriter::raw(QStringView text)
{
    if (utf8_) {
        appendEncoded(text);
        lineStarted_ = true;
        return;
    }
    line_.append(text.utf16(), size_t(text.size()));
    lineStarted_ = true;
}

void CsvWriter::endLine()
{
    if (utf8_) {
        bytes_ += "\r\n";
        if (bomPending_) {
            bytes_.insert(0, "\xef\xbb\xbf");
            bomPending_ = false;
        }
        if (used_ + bytes_.size() > buffer_.size()) {
            flush();
            if (bytes_.size() > buffer_.size())
                buffer_.resize(bytes_.size());
        }
        std::memcpy(buffer_.data() + used_, bytes_.data(), bytes_.size());
        used_ += bytes_.size();
        ++linesBuffered_;
        bytes_.clear();
        lineStarted_ = false;
        return;
    }
    line_ += u"\r\n";
    const QStringView line(line_.data(), qsizetype(line_.size()));
    // Room for the encoded line and a byte-order mark.
    const size_t need = static_cast<size_t>(encoder_.requiredSpace(line.size())) + 4;
    if (used_ + need > buffer_.size()) {
        flush();
        if (need > buffer_.size())
            buffer_.resize(need);
    }
    char* const start = buffer_.data();
    char* const end = encoder_.appendToBuffer(start + used_, line);
    used_ = static_cast<size_t>(end - start);
    ++linesBuffered_;
    line_.clear();   // keeps its capacity
    lineStarted_ = false;
}

void CsvWriter::flush()
{
    if (used_ == 0)
        return;
    const size_t n = used_;
    used_ = 0;
    if (file_) {
        file_->write(buffer_.data(), n);
    } else {
        for (const char* data = buffer_.data(); size_t left = n - size_t(data - buffer_.data());) {
            const ssize_t written = ::write(descriptor_, data, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw orvo::fileError(written < 0 ? errno : EIO, QStringLiteral("Cannot write"), streamName_);
            data += written;
        }
    }
    linesInFile_ += linesBuffered_;
    linesBuffered_ = 0;
}

void CsvWriter::commit()
{
    if (lineStarted_ || !line_.empty() || !bytes_.empty())
        endLine();
    flush();
    if (file_)
        file_->commit();
}

} // namespace expwiz
