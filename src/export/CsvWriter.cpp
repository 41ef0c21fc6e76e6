#include "export/CsvWriter.h"

#include "host/HostError.h"

namespace expwiz {

namespace {
constexpr size_t kBufferSize = 256 * 1024;

bool isSystemName(const QString& name)
{
    return name.isEmpty() || name.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0;
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
      file_(targetPath, options.write),
      buffer_(kBufferSize)
{
    line_.reserve(4096);
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

void CsvWriter::cell(QStringView text)
{
    if (lineStarted_)
        line_ += u',';
    lineStarted_ = true;
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
    line_.append(text.utf16(), size_t(text.size()));
    lineStarted_ = true;
}

void CsvWriter::endLine()
{
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
    file_.write(buffer_.data(), n);
    linesInFile_ += linesBuffered_;
    linesBuffered_ = 0;
}

void CsvWriter::commit()
{
    if (lineStarted_ || !line_.empty())
        endLine();
    flush();
    file_.commit();
}

} // namespace expwiz
