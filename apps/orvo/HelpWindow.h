#pragma once

#include <QDialog>

class QTextBrowser;

namespace orvo::app {

// The host's help: one topic per context number, shown in a small window.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showContext(int context);

private:
    QTextBrowser* browser_;
};

} // namespace orvo::app
