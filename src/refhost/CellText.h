#pragma once

#include <QString>

#include <string_view>

namespace orvo::refhost {

// Puts a cell's UTF-8 bytes into the caller's QString. Most cells are ASCII:
// they are widened in place, which allocates nothing once the buffer has
// grown; anything else is decoded as UTF-8.
inline void assignCellText(std::string_view v, QString& out)
{
    const auto n = static_cast<qsizetype>(v.size());
    out.resize(n);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto ch = static_cast<unsigned char>(v[static_cast<size_t>(i)]);
        if (ch >= 0x80) {
            out = QString::fromUtf8(v.data(), n);
            return;
        }
        dst[i] = QChar(ch);
    }
}

} // namespace orvo::refhost
