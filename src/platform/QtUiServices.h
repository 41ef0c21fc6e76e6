#pragma once

#include "platform/UiServices.h"

namespace expwiz {

// The desktop through Qt Widgets: QMessageBox with exactly the given
// buttons and icon, QFileDialog, the override cursor and processEvents.
class QtUiServices : public UiServices {
public:
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    void processEvents() override;

protected:
    BoxAnswer showBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons) override;

private:
    void beginBusy() override;
    void endBusy() override;
};

} // namespace expwiz
