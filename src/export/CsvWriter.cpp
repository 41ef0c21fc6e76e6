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

constexpr uint64_t kHighBits = 0x8080808080808080u;
constexpr uint64_t kLowBits = 0x0101010101010101u;

// Copies a cell's bytes to `out` with every double quote doubled; `out`
// has room for twice the bytes. Eight bytes at a time while there is no
// quote among them: this runs for every cell. Returns the end of the copy;
// `high` collects the bytes' high bits.
char* copyQuoted(const char* p, const char* const end, char* out, uint64_t& high)
{
    for (; end - p >= 8; p += 8, out += 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const uint64_t quotes = word ^ (kLowBits * '"');
        if ((quotes - kLowBits) & ~quotes & kHighBits)
            break;   // a quote among them: byte by byte from here
        high |= word;
        std::memcpy(out, &word, sizeof word);
    }
    for (; p < end; ++p) {
        high |= static_cast<unsigned char>(*p);
        if (*p == '"')
            *out++ = '"';
        *out++ = *p;
    }
    return out;
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
    bytes_.resize(4096);
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
        if (utf8_) {
            *bytesRoom(1) = ',';
            ++bytesUsed_;
        } else {
            line_ += u',';
        }
    }
    lineStarted_ = true;
}

void CsvWriter::appendEncoded(QStringView text)
{
    char* const end = encoder_.appendToBuffer(bytesRoom(static_cast<size_t>(encoder_.requiredSpace(text.size()))), text);
    bytesUsed_ = static_cast<size_t>(end - bytes_.data());
}

void CsvWriter::cell(std::string_view utf8)
{
    if (utf8_) {
        // A comma, the quotes and every byte doubled at worst.
        char* const start = bytesRoom(2 * utf8.size() + 3);
        char* out = start;
        if (lineStarted_)
            *out++ = ',';
        *out++ = '"';
        uint64_t high = 0;
        out = copyQuoted(utf8.data(), utf8.data() + utf8.size(), out, high);
        *out++ = '"';
        // Malformed bytes are written as the conversion to text writes
        // them: the copy is taken back.
        if (!(high & kHighBits) || QUtf8StringView(utf8.data(), qsizetype(utf8.size())).isValidUtf8()) {
            bytesUsed_ += static_cast<size_t>(out - start);
            lineStarted_ = true;
            return;
        }
    }
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    cell(QStringView(text));
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
        std::memcpy(bytesRoom(2), "\r\n", 2);
        bytesUsed_ += 2;
        constexpr std::string_view bom = "\xef\xbb\xbf";
        const size_t need = bytesUsed_ + (bomPending_ ? bom.size() : 0);
        if (used_ + need > buffer_.size()) {
            flush();
            if (need > buffer_.size())
                buffer_.resize(need);
        }
        if (bomPending_) {
            std::memcpy(buffer_.data() + used_, bom.data(), bom.size());
            used_ += bom.size();
            bomPending_ = false;
        }
        std::memcpy(buffer_.data() + used_, bytes_.data(), bytesUsed_);
        used_ += bytesUsed_;
        ++linesBuffered_;
        bytesUsed_ = 0;
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
    if (lineStarted_ || !line_.empty() || bytesUsed_ > 0)
        endLine();
    flush();
    if (file_)
        file_->commit();
}

} // namespace expwiz
