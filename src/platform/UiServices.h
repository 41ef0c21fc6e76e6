#pragma once

#include "platform/FileDialogRequest.h"

#include <QString>

#include <optional>

namespace expwiz {

enum class BoxIcon { None, Critical, Exclamation, Question, Information };
enum class BoxButtons { Ok, YesNo, YesNoCancel };
enum class BoxAnswer { Ok, Yes, No, Cancel };

// Everything the add-in asks of the desktop: modal message boxes, file
// dialogs, the busy pointer and the event pump. The wizard and the add-in
// classes only talk to the desktop through this, so tests can script it.
class UiServices {
public:
    virtual ~UiServices();

    // A box with an empty title shows the application title.
    BoxAnswer messageBox(const QString& text, const QString& title = {}, BoxIcon icon = BoxIcon::None,
                         BoxButtons buttons = BoxButtons::Ok);

    // The chosen path; nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;

    // Lets the window repaint and take clicks (e.g. Stop) during long work.
    virtual void processEvents() = 0;

    // The title of boxes that give none; the host's title once the wizard runs.
    void setApplicationTitle(const QString& title) { applicationTitle_ = title; }
    const QString& applicationTitle() const { return applicationTitle_; }

    // "Orvo Export File (.csv) | *.csv" -> "Orvo Export File (*.csv)".
    // Pairs are separated by "|"; a text without "|" is passed on as it is.
    static QString qtFilter(const QString& hostFilter);

protected:
    virtual BoxAnswer showBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) = 0;

private:
    friend class BusyPointer;
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;

    QString applicationTitle_ = QStringLiteral("expwiz");
};

} // namespace expwiz
