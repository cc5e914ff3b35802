#include "platform/date_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace qrp {

namespace {
constexpr double kMillisecondsPerDay = 86400000.0;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kEpochOffsetDays = DaysFromCivil(1899, 12, 30);
}  // namespace

TDateTime Now()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local {};
    localtime_r(&now.tv_sec, &local);
    TDateTimeParts parts;
    parts.Year = local.tm_year + 1900;
    parts.Month = local.tm_mon + 1;
    parts.Day = local.tm_mday;
    parts.Hour = local.tm_hour;
    parts.Minute = local.tm_min;
    parts.Second = local.tm_sec;
    parts.Millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return EncodeDateTime(parts);
}

TDateTime EncodeDateTime(const TDateTimeParts& p)
{
    const std::int64_t days = DaysFromCivil(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)) -
                              kEpochOffsetDays;
    const double milliseconds = ((p.Hour * 60.0 + p.Minute) * 60.0 + p.Second) * 1000.0 + p.Millisecond;
    return static_cast<double>(days) + milliseconds / kMillisecondsPerDay;
}

std::optional<TDateTimeParts> DecodeDateTime(TDateTime value)
{
    // Year 1 to 9999 lies between these day numbers.
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0)
        return std::nullopt;
    // Round to the millisecond first so 12:00 stored as 0.49999999 reads as 12:00:00.
    const auto totalMs = static_cast<std::int64_t>(std::llround(value * kMillisecondsPerDay));
    std::int64_t days = totalMs / static_cast<std::int64_t>(kMillisecondsPerDay);
    std::int64_t msOfDay = totalMs % static_cast<std::int64_t>(kMillisecondsPerDay);
    if (msOfDay < 0) {
        // Negative values count days backwards but the time of day forwards.
        msOfDay = -msOfDay;
    }
    TDateTimeParts parts;
    CivilFromDays(days + kEpochOffsetDays, parts.Year, parts.Month, parts.Day);
    parts.Millisecond = static_cast<int>(msOfDay % 1000);
    parts.Second = static_cast<int>(msOfDay / 1000 % 60);
    parts.Minute = static_cast<int>(msOfDay / 60000 % 60);
    parts.Hour = static_cast<int>(msOfDay / 3600000);
    return parts;
}

std::optional<std::string> FormatIso8601(TDateTime value)
{
    const auto parts = DecodeDateTime(value);
    if (!parts)
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts->Year, parts->Month, parts->Day,
                  parts->Hour, parts->Minute, parts->Second);
    return std::string(text);
}

}  // namespace qrp
