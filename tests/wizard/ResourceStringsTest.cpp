#include "wizard/ResourceStrings.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TEST(WizardResourceStrings, NumericTagsGetTheirTextsAndEverythingElseStays)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("design"));
    window.setProperty("tag", QStringLiteral("205"));
    auto* button = new QPushButton(QStringLiteral("design button"), &window);
    button->setProperty("tag", 104);
    auto* unknown = new QPushButton(QStringLiteral("keeps its caption"), &window);
    unknown->setProperty("tag", 99999);
    auto* wordTag = new QPushButton(QStringLiteral("word tag"), &window);
    wordTag->setProperty("tag", QStringLiteral("Next"));
    auto* frame = new QGroupBox(QStringLiteral("design frame"), &window);
    frame->setProperty("tag", QStringLiteral(" 201 "));
    auto* label = new QLabel(QStringLiteral("design label"), &window);
    label->setToolTip(QStringLiteral("202"));
    auto* plainTip = new QLabel(QStringLiteral("x"), &window);
    plainTip->setToolTip(QStringLiteral("Explains x"));
    auto* missingTip = new QLabel(QStringLiteral("y"), &window);
    missingTip->setToolTip(QStringLiteral("77777"));

    expwiz::ResourceStrings::apply(window);

    EXPECT_EQ(window.windowTitle(), "Summary");
    EXPECT_EQ(button->text(), "&Export");
    EXPECT_EQ(unknown->text(), "keeps its caption");
    EXPECT_EQ(wordTag->text(), "word tag");
    EXPECT_EQ(frame->title(), "Select Assets");
    EXPECT_EQ(label->text(), "design label");
    EXPECT_EQ(label->toolTip(), "File Destination");
    EXPECT_EQ(plainTip->toolTip(), "Explains x");
    EXPECT_EQ(missingTip->toolTip(), "77777");
}
