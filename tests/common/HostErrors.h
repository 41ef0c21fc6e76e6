#pragma once

#include "host/HostError.h"

#include <QString>

#include <functional>

// The number of the HostError a call throws (0 when it throws none), and its description where asked for.
inline int hostErrorNumber(const std::function<void()>& call, QString* description = nullptr)
{
    try {
        call();
    } catch (const orvo::HostError& e) {
        if (description)
            *description = e.description();
        return e.number();
    }
    return 0;
}
