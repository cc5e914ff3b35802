#include "platform/canvas/graphics_objects.h"

#include "platform/rounding.h"

namespace qrp {

namespace {
constexpr int kPointsPerInch = 72;
constexpr int kDefaultPoints = 10;
}  // namespace

TFont::TFont(int pixelsPerInch)
    : Resolution(std::max(pixelsPerInch, 1))
{
    SetSize(kDefaultPoints);
}

TFont& TFont::operator=(const TFont& other)
{
    Name = other.Name;
    Height = other.Resolution == Resolution ? other.Height : MulDiv(other.Height, Resolution, other.Resolution);
    Style = other.Style;
    Color = other.Color;
    CharSet = other.CharSet;
    return *this;
}

int TFont::Size() const { return -MulDiv(Height, kPointsPerInch, Resolution); }

void TFont::SetSize(int points) { Height = -MulDiv(points, Resolution, kPointsPerInch); }

bool TFont::SameTypeface(const TFont& other) const
{
    return Name == other.Name && Height == other.Height && Style == other.Style && CharSet == other.CharSet;
}

}  // namespace qrp
