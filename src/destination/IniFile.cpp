#include "destination/IniFile.h"

#include "destination/WholeFileReplacer.h"
#include "host/HostError.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>
#include <vector>

namespace expwiz {

namespace {

struct RawLine {
    QByteArray text;   // without its line end
    QByteArray eol;    // "\r\n", "\n" or "" for a last line without one
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;      // section or key name, trimmed
    QString value;     // key value, trimmed, quotes removed
    bool blank = false;
};

std::vector<RawLine> splitLines(const QByteArray& content)
{
    std::vector<RawLine> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype nl = content.indexOf('\n', start);
        if (nl < 0) {
            lines.push_back({content.mid(start), QByteArray()});
            break;
        }
        const bool cr = nl > start && content[nl - 1] == '\r';
        const qsizetype end = cr ? nl - 1 : nl;
        lines.push_back({content.mid(start, end - start), cr ? QByteArray("\r\n") : QByteArray("\n")});
        start = nl + 1;
    }
    return lines;
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder(bytes);
}

QString unquote(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

ParsedLine parse(const RawLine& raw, bool firstLine)
{
    QString text = decode(raw.text);
    if (firstLine && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString trimmed = text.trimmed();
    ParsedLine out;
    out.blank = trimmed.isEmpty();
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        out.kind = LineKind::Section;
        out.name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
        return out;
    }
    if (trimmed.startsWith(QLatin1Char(';')))
        return out;
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq < 0)
        return out;
    out.kind = LineKind::Key;
    out.name = trimmed.left(eq).trimmed();
    out.value = unquote(trimmed.mid(eq + 1).trimmed());
    return out;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Location {
    std::optional<size_t> section;   // header line of the first matching section
    size_t sectionEnd = 0;           // first line after that section
    std::optional<size_t> key;       // first matching key line inside it
};

// Names are looked up trimmed, as the file holds them: " Defaults" and
// "Defaults" are one section, so writing either twice never adds a second.
Location locate(const std::vector<RawLine>& lines, const std::vector<ParsedLine>& parsed,
                const QString& untrimmedSection, const QString& untrimmedKey)
{
    const QString section = untrimmedSection.trimmed();
    const QString key = untrimmedKey.trimmed();
    Location loc;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!loc.section) {
            if (parsed[i].kind == LineKind::Section && sameName(parsed[i].name, section))
                loc.section = i;
            continue;
        }
        if (parsed[i].kind == LineKind::Section) {
            loc.sectionEnd = i;
            return loc;
        }
        if (!loc.key && parsed[i].kind == LineKind::Key && sameName(parsed[i].name, key))
            loc.key = i;
    }
    loc.sectionEnd = lines.size();
    return loc;
}

std::vector<ParsedLine> parseAll(const std::vector<RawLine>& lines)
{
    std::vector<ParsedLine> parsed;
    parsed.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        parsed.push_back(parse(lines[i], i == 0));
    return parsed;
}

void refuseLineBreaks(const QString& text, const char* what)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.unicode() == 0)
            throw orvo::HostError(orvo::errnum::InvalidProcedureCall,
                                  QStringLiteral("The settings %1 \"%2\" holds a line break or NUL character "
                                                 "and cannot be stored.")
                                      .arg(QLatin1String(what), QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    }
}

QString quotedIfNeeded(const QString& value)
{
    if (value.isEmpty())
        return value;
    const bool blankEnds = value.front().isSpace() || value.back().isSpace();
    if (blankEnds || unquote(value) != value)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

// Encodes with the system codec and counts the characters it could not
// represent, so the caller can tell the user instead of losing them silently.
QByteArray encode(const QString& text, int& replaced)
{
    // Stateless: a trailing lone high surrogate would otherwise be held back
    // for a continuation and silently dropped without an error.
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder(text);
    replaced = 0;
    if (!encoder.hasError())
        return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        // Stateless, so a lone surrogate is an error now instead of being
        // held back for a continuation that never comes.
        QStringEncoder single(QStringConverter::System, QStringConverter::Flag::Stateless);
        const QByteArray piece = single(QStringView(text).mid(i, len));
        if (single.hasError()) {
            ++replaced;
            bytes += '?';
        } else {
            bytes += piece;
        }
        i += len - 1;
    }
    return bytes;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const std::vector<RawLine> lines = splitLines(file.readAll());
    const std::vector<ParsedLine> parsed = parseAll(lines);
    const Location loc = locate(lines, parsed, section, key);
    return loc.key ? parsed[*loc.key].value : defaultValue;
}

int IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    refuseLineBreaks(section, "section");
    refuseLineBreaks(key, "key");
    refuseLineBreaks(value, "value");
    if (key.trimmed().isEmpty() || key.contains(QLatin1Char('=')) || key.trimmed().startsWith(QLatin1Char('['))
        || key.trimmed().startsWith(QLatin1Char(';')))
        throw orvo::HostError(orvo::errnum::InvalidProcedureCall,
                              QStringLiteral("\"%1\" cannot be used as a settings key.").arg(key));
    if (section.contains(QLatin1Char(']')))
        throw orvo::HostError(orvo::errnum::InvalidProcedureCall,
                              QStringLiteral("\"%1\" cannot be used as a settings section.").arg(section));

    QByteArray content;
    {
        // A file that exists but cannot be read is not replaced: writing our
        // one key would throw away every other setting in it.
        QFile file(path_);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly))
                throw orvo::HostError(orvo::errnum::PermissionDenied,
                                      QStringLiteral("Cannot read the settings file %1: %2")
                                          .arg(path_, file.errorString()));
            content = file.readAll();
        }
    }
    std::vector<RawLine> lines = splitLines(content);
    const std::vector<ParsedLine> parsed = parseAll(lines);
    const Location loc = locate(lines, parsed, section, key);

    QByteArray eol("\n");
    for (const RawLine& line : lines) {
        if (!line.eol.isEmpty()) {
            eol = line.eol;
            break;
        }
    }

    int replaced = 0;
    const QByteArray encodedValue = encode(quotedIfNeeded(value), replaced);
    int ignored = 0;

    if (loc.key) {
        // Keep the key's spelling and the blanks after "=" as they stand.
        QByteArray& text = lines[*loc.key].text;
        qsizetype valueStart = text.indexOf('=') + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        text = text.left(valueStart) + encodedValue;
    } else if (loc.section) {
        size_t last = *loc.section;
        for (size_t i = *loc.section + 1; i < loc.sectionEnd; ++i)
            if (!parsed[i].blank)
                last = i;
        if (lines[last].eol.isEmpty())
            lines[last].eol = eol;
        const RawLine added{encode(key.trimmed(), ignored) + '=' + encodedValue, eol};
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), added);
    } else {
        if (!lines.empty()) {
            if (lines.back().eol.isEmpty())
                lines.back().eol = eol;
            if (!parsed.back().blank)
                lines.push_back({QByteArray(), eol});
        }
        lines.push_back({'[' + encode(section.trimmed(), ignored) + ']', eol});
        lines.push_back({encode(key.trimmed(), ignored) + '=' + encodedValue, eol});
    }

    QByteArray out;
    out.reserve(content.size() + encodedValue.size() + 64);
    for (const RawLine& line : lines)
        out += line.text + line.eol;
    WholeFileReplacer::write(path_, out, QStringLiteral("Cannot write the settings file"));
    return replaced;
}

} // namespace expwiz
