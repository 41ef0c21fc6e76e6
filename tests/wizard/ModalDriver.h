#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testhost {

// Runs code once a modal window with the given object name is showing
// (exec() does not return until it closes), then closes that window if the
// code left it open, so a failed check cannot hang the test. The wait ends
// with the life of owner, so a window that never showed leaves nothing
// behind for the next test.
inline void whenModalShown(QObject& owner, const QString& objectName, std::function<void(QWidget&)> code,
                           int attempts = 200)
{
    QTimer::singleShot(10, &owner, [&owner, objectName, code = std::move(code), attempts]() mutable {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->objectName() != objectName) {
            if (attempts > 0)
                whenModalShown(owner, objectName, std::move(code), attempts - 1);
            return;
        }
        try {
            code(*window);
        } catch (...) {
        }
        if (window->isVisible())
            window->close();
    });
}

} // namespace testhost
