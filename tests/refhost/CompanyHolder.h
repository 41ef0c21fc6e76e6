#pragma once

#include "refhost/ReferenceHost.h"

#include <unistd.h>

namespace testhost {

// Opens a company of the host data folder in a child process, as another
// user of the host would, and keeps it open until the child is killed.
// Returns the child's pid (or -1) once the company is open.
inline pid_t holdCompanyInChild(const QString& folder, const QString& database, int index)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        auto host = orvo::refhost::ReferenceHost::open(folder);
        host->OpenDatabase(database)->Database()->Companies().at(static_cast<size_t>(index))->Open();
        (void)!write(ready[1], "x", 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char c = 0;
    (void)!read(ready[0], &c, 1);
    close(ready[0]);
    return pid;
}

} // namespace testhost
