#include "component/qr_unit_base.h"

#include <cmath>

#include "component/qr_page_host.h"
#include "platform/locale.h"

namespace qrp {

namespace {
constexpr long double kNativePerMM = 10;
constexpr long double kNativePerInch = 254;
constexpr long double kDefaultFontSize = 10;

// A 10-point character cell is 8 / 2.54 mm wide and 14.53 / 2.54 mm high;
// other sizes scale it.
constexpr long double kCellWidthPerPoint = 0.8L / 2.54L;
constexpr long double kCellHeightPerPoint = 1.453L / 2.54L;
}  // namespace

long double CharWidth(long double points) { return std::fabs(points) * kCellWidthPerPoint; }
long double CharHeight(long double points) { return std::fabs(points) * kCellHeightPerPoint; }

TQRUnitBase::TQRUnitBase(int screenDpi) : CurrentUnits(UsMeasure() ? TQRUnit::Inches : TQRUnit::MM), Dpi(screenDpi) {}

void TQRUnitBase::SetZoom(int percent)
{
    if (percent > 0)
        ZoomPercent = percent;
}

long double TQRUnitBase::CharacterCell(TQRDirection direction) const
{
    const long double ownerSize = Owner ? std::fabs(static_cast<long double>(Owner->FontSize())) : 0;
    const long double size = ownerSize > 0 ? ownerSize : kDefaultFontSize;
    return direction == TQRDirection::Horizontal ? CharWidth(size) : CharHeight(size);
}

long double TQRUnitBase::FromNative(TQRUnit unit, TQRDirection direction, long double value) const
{
    switch (unit) {
    case TQRUnit::MM:
        return value / kNativePerMM;
    case TQRUnit::Inches:
        return value / kNativePerInch;
    case TQRUnit::Pixels:
        return value / (kNativePerInch / Dpi) * ZoomPercent / 100;
    case TQRUnit::Characters:
        return value / CharacterCell(direction) / kNativePerMM;
    case TQRUnit::Native:
        break;
    }
    return value;
}

long double TQRUnitBase::ToNative(TQRUnit unit, TQRDirection direction, long double value) const
{
    switch (unit) {
    case TQRUnit::MM:
        return value * kNativePerMM;
    case TQRUnit::Inches:
        return value * kNativePerInch;
    case TQRUnit::Pixels:
        return value * (kNativePerInch / Dpi) / ZoomPercent * 100;
    case TQRUnit::Characters:
        return value * CharacterCell(direction) * kNativePerMM;
    case TQRUnit::Native:
        break;
    }
    return value;
}

}  // namespace qrp
