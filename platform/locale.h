#pragma once
// The system's measurement system: whether lengths are shown in inches and
// new pages are U.S. Letter, or millimetres and A4.

#include <optional>

namespace qrp {

// True when the environment's measurement locale (LC_ALL, LC_MEASUREMENT or
// LANG) uses U.S. units. Read once, at first use.
bool UsMeasure();

// Tests decide UsMeasure's answer; none returns to the system's.
void OverrideUsMeasure(std::optional<bool> usMeasure);

// Whether the named locale ("" for the environment's) measures in U.S. units;
// false for a locale that is not installed.
bool LocaleMeasuresInUsUnits(const char* localeName);

}  // namespace qrp
