#pragma once

#include "data/measurement_record.h"

#include <string>
#include <vector>

namespace veldro {

// A synthetic survey for demos, benchmarks and tests: profiles of evenly spaced
// stations read at two frequencies, tilt crossing over a few conductors, every
// fifth profile in resistivity mode, a few overloads and ignored rows. The same
// seed gives the same records; every decimal survives its record text.
std::vector<MeasurementRecord> generateSurvey(int records, unsigned seed);

// The records as .bru text: one record text a line, CR LF after each.
std::string bruTextOf(const std::vector<MeasurementRecord>& records);

} // namespace veldro
