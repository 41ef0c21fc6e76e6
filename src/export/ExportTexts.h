#pragma once

#include <QString>

#include <cstdint>

namespace expwiz {

// The texts an export shows, shared by the wizard and the command line.
class ExportTexts {
public:
    static QString title();                   // "Custom Export"
    static QString idleProgress();            // " 0  of  0 "
    static QString searching();               // "Searching..."
    static QString rowProgress(int32_t row, int32_t total);   // "N  of  T"
    // The rows written; the count query's total beside them when they differ.
    static QString completion(int32_t written, int32_t total);
    static QString completeMessage();         // "The Export process is complete."
    static QString stopQuestion(const QString& exportFile);

    static QString fileInUse();
    static QString pathNotFound();
    static QString creationError(int32_t number, const QString& description, const QString& dataQuery);
    static QString noCursor(const QString& dataQuery);
    static QString writeFailure(const QString& file, int32_t written, int32_t total, int32_t number,
                                const QString& description);
    static QString readFailure(const QString& file, int32_t written, int32_t total, int32_t number,
                               const QString& description);
    static QString stopped(const QString& file, int32_t written, int32_t total);
    static QString aborted(const QString& file, int32_t written, int32_t total);
    static QString replacedCharacters(qsizetype count, const QString& encoding);
    static QString emptyFieldMap();
};

} // namespace expwiz
