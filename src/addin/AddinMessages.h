#pragma once

#include <QString>

#include <exception>

namespace expwiz {

class UiServices;

// The add-in's error boxes: a fixed first line, CR LF, the error's
// description; OK only, no icon, the application title.
class AddinMessages {
public:
    static QString describe(const std::exception& error);
    static void showError(UiServices& ui, const QString& firstLine, const std::exception& error);
};

} // namespace expwiz
