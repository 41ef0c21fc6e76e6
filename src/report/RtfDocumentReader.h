#pragma once

#include <QString>

#include <memory>

class QTextDocument;

namespace expwiz {

// Reads the rich text the field map report is made of into a QTextDocument:
// groups with their formatting saved and restored, the font table, font,
// size, bold, italic, underline, paragraph alignment, tabs with the default
// tab stop, paragraphs, line breaks, \uN and \'hh characters. Other control
// words and \* destinations are ignored. Any input gives a document: text
// after the closing brace is dropped, unbalanced braces are tolerated, and
// every step moves forward, so the reader never loops.
class RtfDocumentReader {
public:
    static std::unique_ptr<QTextDocument> read(const QString& rtf);

    // The default tab stop when the document sets none (half an inch).
    static constexpr int kDefaultTabTwips = 720;
};

} // namespace expwiz
