// The host data folder's own files: whatever host.conf, databases.list and
// addins.list hold, they read without failing (or with the host error for a
// non-numeric edition code), what is read writes back and reads the same,
// and registering an add-in changes only that add-in's lines. The input is a
// ProgID and a library path, each ended by "\ ", then the text every one of
// the three files gets.

#include "FuzzScratch.h"

#include "host/HostError.h"
#include "refhost/AddinRegistry.h"
#include "refhost/HostDataFolder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>

#include <algorithm>

using namespace orvo::refhost;
using expwiz::fuzz::require;

namespace {

bool sameSettings(const HostSettings& a, const HostSettings& b)
{
    return a.applicationType == b.applicationType && a.title == b.title && a.programPath == b.programPath
           && a.helpFileName == b.helpFileName && a.availabilityText == b.availabilityText
           && a.databaseName == b.databaseName;
}

void checkSettings(const HostDataFolder& folder)
{
    HostSettings settings;
    try {
        settings = folder.readSettings();
    } catch (const orvo::HostError& e) {
        require(e.number() == orvo::errnum::TypeMismatch, "host.conf fails only on its edition code");
        return;
    }
    folder.writeSettings(settings);
    const QByteArray written = expwiz::fuzz::readFile(folder.settingsPath());
    require(sameSettings(folder.readSettings(), settings), "written settings read back the same");
    folder.writeSettings(folder.readSettings());
    require(expwiz::fuzz::readFile(folder.settingsPath()) == written, "settings written twice are the same bytes");
}

void checkDatabases(const HostDataFolder& folder, const QByteArray& content)
{
    const std::vector<DatabaseRecord> databases = folder.readDatabases();
    try {
        folder.writeDatabases(databases);
    } catch (const orvo::HostError&) {
        require(expwiz::fuzz::readFile(folder.databaseListPath()) == content, "a refused list is left as it was");
        return;
    }
    const std::vector<DatabaseRecord> again = folder.readDatabases();
    require(again.size() == databases.size(), "every database of the list is written back");
    for (size_t i = 0; i < databases.size(); ++i)
        require(again[i].name == databases[i].name
                    && QDir::cleanPath(again[i].file) == QDir::cleanPath(databases[i].file),
                "a written database list names the same files");
}

std::vector<std::pair<QString, QString>> without(const std::vector<AddinEntry>& entries, const QString& progId,
                                                 int* removed = nullptr)
{
    std::vector<std::pair<QString, QString>> out;
    for (const AddinEntry& e : entries) {
        if (e.progId != progId)
            out.emplace_back(e.progId, e.libraryPath);
        else if (removed)
            ++*removed;
    }
    return out;
}

// A ProgID and library path as the add-ins register them: one line each.
bool registrable(const QString& progId, const QString& library)
{
    for (const QString& text : {progId, library})
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            return false;
    return !progId.isEmpty() && !progId.contains(QLatin1Char('\t')) && !progId.front().isSpace()
           && !progId.startsWith(QLatin1Char('#')) && library == library.trimmed();
}

void checkAddins(const HostDataFolder& folder, const QString& progId, const QString& library,
                 const QByteArray& content)
{
    AddinRegistry registry(folder.addinListPath());
    const std::vector<AddinEntry> before = registry.entries();
    if (!registrable(progId, library))
        return;
    registry.Register(progId, library);
    const std::vector<AddinEntry> registered = registry.entries();
    int count = 0;
    require(without(registered, progId, &count) == without(before, progId), "registering keeps the other add-ins");
    require(count >= 1, "a registered add-in is listed");
    for (const AddinEntry& e : registered)
        require(e.progId != progId || e.libraryPath == library, "a registered add-in names its library");
    registry.Unregister(progId);
    count = 0;
    require(without(registry.entries(), progId, &count) == without(before, progId) && count == 0,
            "unregistering removes only that add-in");

    const bool wasListed = std::any_of(before.begin(), before.end(), [&](const AddinEntry& e) {
        return e.progId == progId;
    });
    if (!wasListed && QString::fromUtf8(content).toUtf8() == content) {
        QByteArray expected = content;
        if (!expected.isEmpty() && !expected.endsWith('\n'))
            expected += '\n';
        require(expwiz::fuzz::readFile(folder.addinListPath()) == expected,
                "registering and unregistering a new add-in leaves the list's bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString progId = QString::fromStdString(input.ConsumeRandomLengthString(64));
    const QString library = QString::fromStdString(input.ConsumeRandomLengthString(256));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray content(rest.data(), static_cast<qsizetype>(rest.size()));

    const HostDataFolder folder(expwiz::fuzz::scratchFolder());
    for (const QString& path : {folder.settingsPath(), folder.databaseListPath(), folder.addinListPath()})
        expwiz::fuzz::writeFile(path, content);
    checkSettings(folder);
    checkDatabases(folder, content);
    checkAddins(folder, progId, library, content);
    return 0;
}
