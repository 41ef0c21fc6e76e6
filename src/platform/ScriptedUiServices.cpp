#include "platform/ScriptedUiServices.h"

#include <QCoreApplication>

namespace expwiz {

BoxAnswer ScriptedUiServices::showBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons)
{
    Box box{text, title, icon, buttons, BoxAnswer::Ok};
    if (!answerFns_.empty()) {
        auto fn = std::move(answerFns_.front());
        answerFns_.pop_front();
        box.answer = fn(box);
    } else if (!answers_.empty()) {
        box.answer = answers_.front();
        answers_.pop_front();
    } else {
        boxes_.push_back(box);
        unexpected_ << QStringLiteral("box: ") + text;
        throw UnexpectedDialog("unexpected message box: " + text.toStdString());
    }
    boxes_.push_back(box);
    return box.answer;
}

std::optional<QString> ScriptedUiServices::nextFile(bool save, const FileDialogRequest& request)
{
    fileDialogs_.push_back({save, request});
    if (files_.empty()) {
        unexpected_ << QStringLiteral("file dialog: ") + request.title;
        throw UnexpectedDialog("unexpected file dialog: " + request.title.toStdString());
    }
    auto path = std::move(files_.front());
    files_.pop_front();
    return path;
}

std::optional<QString> ScriptedUiServices::openFileName(const FileDialogRequest& request)
{
    return nextFile(false, request);
}

std::optional<QString> ScriptedUiServices::saveFileName(const FileDialogRequest& request)
{
    return nextFile(true, request);
}

void ScriptedUiServices::processEvents()
{
    ++processEventsCalls_;
    QCoreApplication::processEvents();
}

void ScriptedUiServices::clearRecords()
{
    boxes_.clear();
    fileDialogs_.clear();
    unexpected_.clear();
}

} // namespace expwiz
