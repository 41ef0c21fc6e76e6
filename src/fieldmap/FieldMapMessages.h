#pragma once

#include <QString>

namespace expwiz {

struct ExpReadResult;

// The texts the wizard shows around the field map: editing, saving,
// leaving the map step and printing its report.
class FieldMapMessages {
public:
    // Up or Down with no entry selected.
    static QString selectOneField();
    // Saving an empty map.
    static QString saveNeedsOneField();
    // The question on leaving a changed map: a named map "is changed", a new
    // one "has not been saved". `mapName` is the map's name, empty for
    // a new map.
    static QString saveChangedMapQuestion(const QString& mapName);
    static QString noSystemNumberQuestion();
    static QString saveFailed();
    static QString readFailed();
    static QString emptyMapName();
    // What the wizard tells the user when a map file held values that are
    // not fields, or a broken last entry; empty when the file was clean.
    static QString damagedFileNotice(const QString& path, const ExpReadResult& result);

    static QString reportNeedsFieldsAndCompany();
    static QString noPrintTarget();
    static QString noDefaultPrinter();
    static QString printFailed();
};

} // namespace expwiz
