#pragma once

#include "refhost/HostDataFolder.h"

#include <QDir>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace orvo::refhost {

class DemoSink;

struct DemoOptions {
    int32_t assets = 240;          // assets of the main demo company
    int32_t applicationType = 1;   // the host's edition code
};

// A fixed linear congruential generator: the same content on every machine.
class DemoRandom {
public:
    uint32_t next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state_ >> 33);
    }
    int pick(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint64_t state_ = 0x5eedULL;
};

// The rows of the demo databases, the same for every backend. The
// databases are written in order, one sink each, by one DemoContent.
class DemoContent {
public:
    explicit DemoContent(DemoOptions options) : options_(options) {}
    // Name and file stem of each demo database.
    static const std::vector<std::pair<QString, QString>>& databases();
    void write(size_t database, DemoSink& sink);

private:
    DemoOptions options_;
    DemoRandom random_;
};

// Creates a deterministic demo host data folder: the databases "Orvo Demo"
// (companies with and without inventory data, one unavailable, one empty;
// books, one inactive; groups) and "Public Sector" (an organization with
// allocation lists and allocated assets). Values include commas, quotes,
// line breaks, non-ASCII letters, NULLs, negative amounts and dates.
// The folder must be empty or absent.
class DemoData {
public:
    static void create(const QString& folder, const DemoOptions& options = {});
    static bool isDemoFolder(const QString& folder);

    // Checks that the folder is empty or absent and creates it.
    static QDir prepareFolder(const QString& folder);
    // The host's settings, database list and add-in list for the databases.
    static void writeHostFiles(const QString& folder, const std::vector<DatabaseRecord>& databases,
                               const DemoOptions& options);
};

} // namespace orvo::refhost
