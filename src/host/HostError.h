#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace orvo {

// Every failing host call throws this; the add-in's own failures (file
// system, bad input) carry a number and a description the same way, so a
// single catch can build any of the wizard's messages.
class HostError : public std::exception {
public:
    HostError(int32_t number, QString description);
    ~HostError() override;

    int32_t number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int32_t number_;
    QString description_;
    std::string what_;
};

// Well-known numbers, as the classic runtime reports them.
namespace errnum {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t BadFileMode = 54;
inline constexpr int32_t DiskFull = 61;
inline constexpr int32_t InputPastEnd = 62;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectRequired = 424;
inline constexpr int32_t InterfaceNotSupported = 430;
inline constexpr int32_t HostFailure = 1000;   // generic host-side failure (SQL, lock, ...)
inline constexpr int32_t CompanyLocked = 1001;
} // namespace errnum

// Maps an errno value of a failed file operation to the runtime number the
// messages show (53, 61, 70, 75, 76).
int32_t runtimeNumberFromErrno(int err) noexcept;

// A file-system failure: number from errno, description naming the file.
HostError fileError(int err, const QString& what, const QString& path);

} // namespace orvo
