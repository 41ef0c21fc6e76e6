#pragma once

#include <QString>

#include <ostream>

// Failure messages show texts, not UTF-16 bytes.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
