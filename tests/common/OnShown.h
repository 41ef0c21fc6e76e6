#pragma once

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Runs code on every window the predicate picks, queued from its Show event: a modal window is answered
// from within its own event loop, whatever the time it took to come up. A window the code leaves open is
// closed, so a failed check cannot hang the test. Ends with its own life.
class OnShown : public QObject {
public:
    OnShown(std::function<bool(QWidget&)> which, std::function<void(QWidget&)> code)
        : which_(std::move(which)), code_(std::move(code)) { qApp->installEventFilter(this); }
    OnShown(const QString& objectName, std::function<void(QWidget&)> code)
        : OnShown([objectName](QWidget& w) { return w.objectName() == objectName; }, std::move(code)) {}
    int shown = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(object);
        if (event->type() != QEvent::Show || !widget || !widget->isWindow() || !which_(*widget))
            return false;
        QMetaObject::invokeMethod(this, [this, window = QPointer<QWidget>(widget)] {
            if (!window || !window->isVisible())
                return;
            ++shown;
            try {
                code_(*window);
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            if (window && window->isVisible())
                window->close();
        }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<bool(QWidget&)> which_;
    std::function<void(QWidget&)> code_;
};
