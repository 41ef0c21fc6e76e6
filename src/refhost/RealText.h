#pragma once

#include <string>

namespace orvo::refhost {

// Appends a floating-point value as text the way the host has always shown
// a REAL column (15 significant digits, "12.0" for whole numbers), so every
// backend gives the same export files byte for byte.
void appendRealText(double value, std::string& out);

} // namespace orvo::refhost
