#include "refhost/RealText.h"

#include <sqlite3.h>

namespace orvo::refhost {

void appendRealText(double value, std::string& out)
{
    // SQLite's own printf is the reference for the text, so use it.
    char buffer[64];
    sqlite3_snprintf(sizeof buffer, buffer, "%!.15g", value);
    out += buffer;
}

} // namespace orvo::refhost
