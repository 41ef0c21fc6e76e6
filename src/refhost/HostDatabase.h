#pragma once

#include "host/OrvoInterfaces.h"

namespace orvo::refhost {

// One registered database of the host, whatever stores it: its entry in
// the host's list and, once opened, the database itself.
class HostDatabase : public IOrvoDatabaseEntry, public IOrvoDatabase {
public:
    // Raises HostError naming the database when it cannot be opened.
    virtual void open() = 0;
};

// True when a database of the host's list is named by a server connection
// string (a URI or key=value settings) rather than a file.
bool isConnectionString(const QString& location);

} // namespace orvo::refhost
