#pragma once

#include <QString>

#include <cstdint>

namespace orvo::refhost {

struct DemoOptions {
    int32_t assets = 240;          // assets of the main demo company
    int32_t applicationType = 1;   // the host's edition code
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
};

} // namespace orvo::refhost
