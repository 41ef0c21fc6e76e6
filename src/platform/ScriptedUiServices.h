#pragma once

#include "platform/UiServices.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

namespace expwiz {

// A box or file dialog came that the test did not expect.
class UnexpectedDialog : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The desktop for tests: answers come from queues the test fills, and
// every box and file dialog is recorded. A box or dialog with nothing
// queued is recorded as unexpected and raises UnexpectedDialog, so a test
// cannot pass by accident over a message it did not foresee.
class ScriptedUiServices : public UiServices {
public:
    struct Box {
        QString text;
        QString title;
        BoxIcon icon;
        BoxButtons buttons;
        BoxAnswer answer;
    };
    struct FileDialog {
        bool save;
        FileDialogRequest request;
    };

    void queueAnswer(BoxAnswer answer) { answers_.push_back(answer); }
    // Runs when the next box shows (e.g. to look at the window behind it);
    // its result is the answer.
    void queueAnswer(std::function<BoxAnswer(const Box&)> answer) { answerFns_.push_back(std::move(answer)); }
    // A path, or nothing for a cancelled dialog.
    void queueFile(std::optional<QString> path) { files_.push_back(std::move(path)); }

    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<FileDialog>& fileDialogs() const { return fileDialogs_; }
    const QStringList& unexpected() const { return unexpected_; }
    int busyDepth() const { return busyDepth_; }
    int processEventsCalls() const { return processEventsCalls_; }
    bool allAnswersUsed() const { return answers_.empty() && answerFns_.empty() && files_.empty(); }
    void clearRecords();

    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    void processEvents() override;

protected:
    BoxAnswer showBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) override;

private:
    void beginBusy() override { ++busyDepth_; }
    void endBusy() override { --busyDepth_; }
    std::optional<QString> nextFile(bool save, const FileDialogRequest& request);

    std::deque<BoxAnswer> answers_;
    std::deque<std::function<BoxAnswer(const Box&)>> answerFns_;
    std::deque<std::optional<QString>> files_;
    std::vector<Box> boxes_;
    std::vector<FileDialog> fileDialogs_;
    QStringList unexpected_;
    int busyDepth_ = 0;
    int processEventsCalls_ = 0;
};

} // namespace expwiz
