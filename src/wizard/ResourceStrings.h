#pragma once

class QWidget;

namespace expwiz {

// Puts string-table texts into a window's captions: the window itself and
// every widget whose "tag" property is a number get the text with that id
// as caption (button text, frame title, label text, window title); a
// numeric tool tip is replaced the same way. A number that names no text
// leaves the caption as designed; nothing here fails.
class ResourceStrings {
public:
    static void apply(QWidget& window);
};

} // namespace expwiz
