// The settings file: whatever another program left in it, reading never
// fails, and writing one key reads back as written, changes at most that
// key's line (plus the lines a missing key or section adds) and gives the
// same bytes when repeated. The input is the section, key and value, each
// ended by "\ ", then the file's content.

#include "FuzzScratch.h"

#include "destination/IniFile.h"
#include "destination/SettingsFile.h"
#include "host/HostError.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace expwiz;
using expwiz::fuzz::require;

namespace {

QString takeText(FuzzedDataProvider& input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(256));
}

bool storable(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) && !text.contains(QChar(0));
}

// Names a settings line can hold; blanks around them are not part of them.
bool writable(const QString& section, const QString& key, const QString& value)
{
    const QString k = key.trimmed();
    return storable(section) && storable(key) && storable(value) && !k.isEmpty() && !k.contains(QLatin1Char('='))
           && !k.startsWith(QLatin1Char('[')) && !k.startsWith(QLatin1Char(';')) && !section.contains(QLatin1Char(']'));
}

// Every line outside one changed stretch is kept: at most one old line is
// replaced and at most five are added (a blank, a section, the key, and the
// line ends a last line lacked).
bool keepsOtherLines(const QByteArray& before, const QByteArray& after)
{
    const QList<QByteArray> a = before.split('\n');
    const QList<QByteArray> b = after.split('\n');
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    return a.size() - prefix - suffix <= 1 && b.size() - prefix - suffix <= 5;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = takeText(input);
    const QString key = takeText(input);
    const QString value = takeText(input);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray content(rest.data(), static_cast<qsizetype>(rest.size()));

    const SettingsFile settings(1, fuzz::scratchFolder());
    const QString path = settings.filePath();
    fuzz::writeFile(path, content);

    const QString remembered = settings.readExportPath(QStringLiteral("/default"));
    require(remembered.size() <= kExportPathMaxLength && !remembered.contains(QChar(0)),
            "the remembered folder is bounded and holds no NUL");

    IniFile ini(path);
    int replaced = 0;
    try {
        replaced = ini.writeString(section, key, value);
    } catch (const orvo::HostError&) {
        require(!writable(section, key, value), "only names and values a line cannot hold are refused");
        require(fuzz::readFile(path) == content, "a refused write leaves the file as it was");
        return 0;
    }
    const QByteArray written = fuzz::readFile(path);
    require(keepsOtherLines(content, written), "writing a key keeps every other line");
    if (replaced == 0)
        require(ini.readString(section, key, QStringLiteral("\x01missing")) == value, "a written key reads back");
    ini.writeString(section, key, value);
    require(fuzz::readFile(path) == written, "writing the same value again changes nothing");

    if (storable(value) && value.size() <= kExportPathMaxLength && replaced == 0) {
        require(settings.writeExportPath(value), "a storable folder is stored");
        require(settings.readExportPath(QStringLiteral("\x01missing")) == value, "the stored folder reads back");
    }
    return 0;
}
