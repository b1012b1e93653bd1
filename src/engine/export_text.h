#pragma once

#include <chrono>

#include "engine/text_source.h"

namespace tumblecast {

// The export file's bytes: a three-line header, the record exactly as the result box holds it, and the
// date it was written as month-day-year, every line ended by CR LF. They go to sink in order, the record
// piece by piece, so that a record of gigabytes is never held a second time. A sink that cannot take a
// piece throws, which ends the export there.
void writeExportText(const TextSource& record, std::chrono::year_month_day date,
                     const TextSource::PieceSink& sink);
// How many bytes writeExportText() hands on; a rendered record measures itself for it.
std::uint64_t exportTextSize(const TextSource& record, std::chrono::year_month_day date);

}  // namespace tumblecast
