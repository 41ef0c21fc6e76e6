#pragma once

#include "fieldmap/FieldMapReport.h"

#include <QDateTime>
#include <QStringList>

// One report used throughout: a new 27-column map of the standard edition
// for a company whose name needs escaping, without a header row, filled
// on 5 December 2026 at 09:05 in English.
namespace reportsample {

QString companyName();          // "Müller {Holz} \ Söhne €"
QDateTime now();
expwiz::FieldMapReportValues values();
QString filledText();           // the report for values() at now() in en_US

// The labels of the 27 columns A..AA, as the standard edition shows them.
QStringList columnLabels();

} // namespace reportsample
