#pragma once

#include <QString>

namespace orvo::refhost {

// A company held open by one user. The lock is an flock() on a file beside
// the database, so it holds across processes and the system releases it
// when the holder exits or crashes: a dead holder never locks a company.
// Two holders in one process conflict too, as two users would.
class CompanyLock {
public:
    CompanyLock(const QString& databaseFile, int companyId, const QString& companyName);
    ~CompanyLock();
    CompanyLock(const CompanyLock&) = delete;
    CompanyLock& operator=(const CompanyLock&) = delete;

    // Raises HostError whose description contains "locked" when another
    // holder has the company.
    void acquire();
    void release() noexcept;
    bool held() const noexcept { return fd_ >= 0; }

    QString path() const { return path_; }

private:
    QString path_;
    QString companyName_;
    int fd_ = -1;
};

} // namespace orvo::refhost
