#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace testhost {

// Runs code once a window with the given object name has shown and its
// modal loop runs (exec() does not return until it closes), then closes
// that window if the code left it open, so a failed check cannot hang the
// test. The show event starts it, so no clock is involved; the watch ends
// with the life of owner, so a window that never showed leaves nothing
// behind for the next test.
class ModalWatch : public QObject {
public:
    ModalWatch(QObject& owner, QString objectName, std::function<void(QWidget&)> code)
        : QObject(&owner), name_(std::move(objectName)), code_(std::move(code))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType() || watched->objectName() != name_
            || !static_cast<QWidget*>(watched)->isWindow())
            return false;
        qApp->removeEventFilter(this);
        // Queued: it runs inside the window's own event loop.
        QMetaObject::invokeMethod(
            this,
            [this, window = QPointer<QWidget>(static_cast<QWidget*>(watched))] {
                try {
                    if (window)
                        code_(*window);
                } catch (...) {
                }
                if (window && window->isVisible())
                    window->close();
                deleteLater();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QString name_;
    std::function<void(QWidget&)> code_;
};

inline void whenModalShown(QObject& owner, const QString& objectName, std::function<void(QWidget&)> code)
{
    new ModalWatch(owner, objectName, std::move(code));
}

} // namespace testhost
