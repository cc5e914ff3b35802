#pragma once
// Date-time values as the report file stores them: days since 30 December 1899
// 00:00, the fraction being the time of day, in local time.

#include <optional>
#include <string>

namespace qrp {

using TDateTime = double;

struct TDateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// The current local date and time.
TDateTime Now();

TDateTime EncodeDateTime(const TDateTimeParts& parts);

// None for values that are not a date between the years 1 and 9999 (NaN, infinities, huge).
std::optional<TDateTimeParts> DecodeDateTime(TDateTime value);

// "2001-01-01T12:00:00" (local time, no zone), or none as DecodeDateTime.
std::optional<std::string> FormatIso8601(TDateTime value);

}  // namespace qrp
