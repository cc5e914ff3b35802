#include "component/qr_page.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "component/qr_page_host.h"
#include "platform/locale.h"
#include "platform/rounding.h"

namespace qrp {

namespace {
constexpr auto H = TQRDirection::Horizontal;
constexpr auto V = TQRDirection::Vertical;

TQRDirection DirectionOf(TQRPageValue index)
{
    switch (index) {
    case TQRPageValue::BottomMargin:
    case TQRPageValue::Length:
    case TQRPageValue::TopMargin:
        return V;
    case TQRPageValue::Width:
    case TQRPageValue::LeftMargin:
    case TQRPageValue::RightMargin:
    case TQRPageValue::ColumnSpace:
        break;
    }
    return H;
}

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
}  // namespace

TQRPage::TQRPage(int screenDpi) : TQRUnitBase(screenDpi)
{
    // Units are already the system's: inches or millimetres.
    const bool us = UsMeasure();
    const long double margin = ToNative(Units(), H, us ? 0.5L : 10.0L);
    SetPaperSize(us ? TQRPaperSize::Letter : TQRPaperSize::A4);
    for (const auto index : {TQRPageValue::TopMargin, TQRPageValue::BottomMargin, TQRPageValue::RightMargin,
                             TQRPageValue::LeftMargin})
        Stored(index) = margin;
}

long double TQRPage::Value(TQRPageValue index) const { return FromNative(Units(), DirectionOf(index), Stored(index)); }

void TQRPage::SetValue(TQRPageValue index, long double value)
{
    const bool paperDimension = index == TQRPageValue::Length || index == TQRPageValue::Width;
    if (paperDimension && Paper != TQRPaperSize::Custom)
        return;
    Stored(index) = ToNative(Units(), DirectionOf(index), value);
    // The paper's size and the bottom margin resize the component and move its
    // bands; the other values are drawn inside it.
    if (paperDimension || index == TQRPageValue::BottomMargin) {
        SizeHostFromPage();
        RelayoutBands();
    } else {
        Repaint();
    }
}

void TQRPage::SetPaperSize(TQRPaperSize paperSize)
{
    Paper = paperSize;
    if (paperSize == TQRPaperSize::Default || paperSize == TQRPaperSize::Custom)
        return;
    // The table gives millimetres of the portrait sheet.
    const TPaperDimensions& paper = PaperDimensions(paperSize);
    const bool landscape = PageOrientation == poLandscape;
    Stored(TQRPageValue::Width) = ToNative(TQRUnit::MM, H, landscape ? paper.Length : paper.Width);
    Stored(TQRPageValue::Length) = ToNative(TQRUnit::MM, V, landscape ? paper.Width : paper.Length);
    SizeHostFromPage();
    RelayoutBands();
}

void TQRPage::SetOrientation(TPrinterOrientation orientation)
{
    PageOrientation = orientation;
    SetPaperSize(Paper);
}

void TQRPage::SetColumns(int columns)
{
    if (columns <= 0 || columns == ColumnCount)
        return;
    ColumnCount = columns;
    RelayoutBands();
    Repaint();
}

void TQRPage::SetRuler(bool ruler)
{
    if (ruler == ShowRuler)
        return;
    ShowRuler = ruler;
    Repaint();
}

void TQRPage::SetUnits(TQRUnit units)
{
    TQRUnitBase::SetUnits(units);
    Repaint();
}

void TQRPage::SizeHostFromPage()
{
    TQRPageHost* host = OwnerReport();
    if (SizingHost() || !host)
        return;
    SetSizingHost(true);
    host->SetPixelSize(PixelsOf(H, Stored(TQRPageValue::Width)), PixelsOf(V, Stored(TQRPageValue::Length)));
    SetSizingHost(false);
}

void TQRPage::ReadStoredValues(std::span<const long double> values)
{
    const auto finite = [](long double value) { return std::isfinite(value); };
    if (values.size() != Native.size() || !std::all_of(values.begin(), values.end(), finite))
        return;
    std::copy(values.begin(), values.end(), Native.begin());
    SizeHostFromPage();
}

std::vector<long double> TQRPage::WriteStoredValues() const { return {Native.begin(), Native.end()}; }

int TQRPage::ColumnWidth() const
{
    const std::int64_t width = PixelsOf(H, Stored(TQRPageValue::Width));
    const std::int64_t margins = PixelsOf(H, Stored(TQRPageValue::LeftMargin) + Stored(TQRPageValue::RightMargin));
    const std::int64_t space = PixelsOf(H, Stored(TQRPageValue::ColumnSpace));
    return ClampToInt((width - margins - space * (ColumnCount - 1)) / ColumnCount);
}

int TQRPage::PixelsOf(TQRDirection direction, long double native) const
{
    return ClampToInt(Round(FromNative(TQRUnit::Pixels, direction, native)));
}

void TQRPage::Repaint() const
{
    if (TQRPageHost* host = OwnerReport())
        host->Repaint();
}

void TQRPage::RelayoutBands() const
{
    if (TQRPageHost* host = OwnerReport())
        host->RelayoutBands();
}

}  // namespace qrp
