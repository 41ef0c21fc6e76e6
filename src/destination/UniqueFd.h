#pragma once

#include <unistd.h>

#include <utility>

namespace expwiz {

// Owns one POSIX file descriptor and closes it when it goes out of scope.
// close() is offered separately because a failing close after a write is a
// lost write and must be seen by the caller.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }

    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    bool isOpen() const noexcept { return fd_ >= 0; }

    // Closes now; returns 0 or the errno of the failed close.
    int close() noexcept
    {
        const int fd = std::exchange(fd_, -1);
        if (fd < 0)
            return 0;
        return ::close(fd) == 0 ? 0 : errno;
    }

    void reset() noexcept
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

} // namespace expwiz
