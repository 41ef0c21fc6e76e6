#include "HelpWindow.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include <map>

namespace orvo::app {

namespace {

const std::map<int, std::pair<const char*, const char*>>& topics()
{
    static const std::map<int, std::pair<const char*, const char*>> texts{
        {30600, {"Custom Export: Introduction",
                 "The export helper writes asset data to a comma separated (CSV) file that spreadsheet programs "
                 "read. Click Next to choose the assets."}},
        {30610, {"Custom Export: Select Assets",
                 "Choose the database, the company and the group of assets to export. A company that another "
                 "user has open cannot be exported until it is closed there."}},
        {30620, {"Custom Export: Select Map",
                 "Start a new field map, or open a saved one. Choose the book whose depreciation fields are "
                 "exported."}},
        {30630, {"Custom Export: Field Map",
                 "Pick the fields to export and put them in the order of the columns. Include a header row or "
                 "the company name line if the receiving program needs them."}},
        {30640, {"Custom Export: File Destination",
                 "Give the folder and the name of the export file. The folder is remembered for the next export."}},
        {30650, {"Custom Export: Summary",
                 "Check the choices, then click Export. Stop ends the export after the current row; the rows "
                 "written so far stay in the file."}},
    };
    return texts;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    browser_->setObjectName(QStringLiteral("helpText"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(420, 260);
}

void HelpWindow::showContext(int context)
{
    const auto it = topics().find(context);
    QString title = QStringLiteral("Help");
    QString body = QStringLiteral("No help topic has the context number %1.").arg(context);
    if (it != topics().end()) {
        title = QString::fromUtf8(it->second.first);
        body = QString::fromUtf8(it->second.second);
    }
    setWindowTitle(QStringLiteral("%1 (%2)").arg(title).arg(context));
    browser_->setHtml(QStringLiteral("<h3>%1</h3><p>%2</p>").arg(title.toHtmlEscaped(), body.toHtmlEscaped()));
    show();
    raise();
}

} // namespace orvo::app
