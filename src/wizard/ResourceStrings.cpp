#include "wizard/ResourceStrings.h"

#include "catalog/StringTable.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace expwiz {

namespace {

std::optional<int> numericId(const QString& text)
{
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

std::optional<QString> textFor(const QString& tag)
{
    const auto id = numericId(tag);
    if (!id)
        return std::nullopt;
    try {
        return StringTable::instance().loadResourceText(*id);
    } catch (...) {
        return std::nullopt;
    }
}

void setCaption(QWidget& widget, const QString& text, bool isWindow)
{
    if (isWindow)
        widget.setWindowTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&widget))
        button->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(&widget))
        frame->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(&widget))
        label->setText(text);
}

void applyTo(QWidget& widget, bool isWindow)
{
    const QVariant tag = widget.property("tag");
    if (tag.isValid()) {
        if (auto text = textFor(tag.toString()))
            setCaption(widget, *text, isWindow);
    }
    if (!isWindow && !widget.toolTip().isEmpty()) {
        if (auto text = textFor(widget.toolTip()))
            widget.setToolTip(*text);
    }
}

} // namespace

void ResourceStrings::apply(QWidget& window)
{
    applyTo(window, true);
    const auto children = window.findChildren<QWidget*>();
    for (QWidget* child : children)
        applyTo(*child, false);
}

} // namespace expwiz
