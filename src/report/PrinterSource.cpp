#include "report/PrinterSource.h"

namespace expwiz {

PrinterSource::~PrinterSource() = default;

} // namespace expwiz
