#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

namespace qrp {

namespace {
// The measurement item's first byte: 1 metric, 2 U.S.
constexpr char kUsMeasurement = 2;

std::optional<bool> Override;
}  // namespace

bool LocaleMeasuresInUsUnits(const char* localeName)
{
    // A locale object of its own, so the process locale stays as it is.
    const locale_t locale = newlocale(LC_MEASUREMENT_MASK, localeName, locale_t {});
    if (locale == locale_t {})
        return false;
    const bool us = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, locale)[0] == kUsMeasurement;
    freelocale(locale);
    return us;
}

bool UsMeasure()
{
    static const bool system = LocaleMeasuresInUsUnits("");
    return Override.value_or(system);
}

void OverrideUsMeasure(std::optional<bool> usMeasure) { Override = usMeasure; }

}  // namespace qrp
