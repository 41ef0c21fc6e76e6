#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace expwiz {

// The program's own table of texts by numeric id (captions, step titles,
// the field catalog texts), compiled in as the resource
// ":/expwiz/strings.txt". Loaded once, read-only afterwards.
class StringTable {
public:
    static const StringTable& instance();

    // Parses "id<TAB>text" lines; '#' lines and blank lines are skipped.
    static StringTable parse(const QString& content);

    // The raw text of one id, without joining continuations.
    std::optional<QString> raw(int id) const;

    // The text of an id with continuations joined: a text whose last
    // character is "_" continues with the next id. A missing id raises
    // orvo::HostError (the table is part of the program; callers that may
    // meet an unknown id catch it).
    QString loadResourceText(int id) const;

private:
    QHash<int, QString> texts_;
};

} // namespace expwiz
