#include "platform/emf/emf_writer.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "platform/byte_order.h"
#include "platform/exceptions.h"
#include "platform/rounding.h"

namespace qrp::emf {

namespace {
// The reference screen is 20 × 15 inches at the recording's resolution (1920 × 1440
// pixels at 96 per inch): sizes whose millimetres are whole (508 × 381), so readers
// that scale by pixels per millimetre scale exactly.
constexpr std::int32_t kScreenWidthInches = 20;
constexpr std::int32_t kScreenHeightInches = 15;
constexpr std::int32_t kScreenWidthMillimetres = 508;  // 25.4 to the inch
constexpr std::int32_t kScreenHeightMillimetres = 381;

void Append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    StoreUInt32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

void AppendI32(std::vector<std::uint8_t>& out, std::int32_t value) { Append32(out, static_cast<std::uint32_t>(value)); }

void AppendRect(std::vector<std::uint8_t>& out, const TRectL& r)
{
    for (const std::int32_t v : {r.Left, r.Top, r.Right, r.Bottom})
        AppendI32(out, v);
}

void AppendFloat(std::vector<std::uint8_t>& out, float value) { Append32(out, std::bit_cast<std::uint32_t>(value)); }

void AppendUtf16(std::vector<std::uint8_t>& out, std::u16string_view text)
{
    for (const char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}

// RGNDATA of rectangles with exclusive right and bottom, as the clip and fill records carry it.
// RGNDATA of one rectangle with exclusive right and bottom, as the clip record carries it.
std::vector<std::uint8_t> RegionData(const TRectL& rect)
{
    constexpr std::uint32_t RDH_RECTANGLES = 1;
    constexpr std::uint32_t kRegionHeaderSize = 32;
    std::vector<std::uint8_t> data;
    Append32(data, kRegionHeaderSize);
    Append32(data, RDH_RECTANGLES);
    Append32(data, 1);   // rectangles
    Append32(data, 16);  // their size in bytes
    AppendRect(data, rect);
    AppendRect(data, rect);
    return data;
}

TRectL Inclusive(const TRectL& r) { return {r.Left, r.Top, r.Right - 1, r.Bottom - 1}; }
}  // namespace

TEmfWriter::TEmfWriter(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch)
    : Data(kExtendedHeaderSize, 0), Width(width), Height(height), PixelsPerInch(pixelsPerInch)
{
}

void TEmfWriter::AddRecord(std::uint32_t type, std::span<const std::uint8_t> payload)
{
    // Record and metafile sizes are 32-bit fields; the end-of-file record must still fit.
    constexpr std::size_t kLimit = std::numeric_limits<std::uint32_t>::max() - 64;
    if (payload.size() > kLimit - kRecordPrefixSize - Data.size())
        throw Exception("The recording is too large for a metafile");
    const std::size_t padded = (payload.size() + 3) / 4 * 4;
    Append32(Data, type);
    Append32(Data, static_cast<std::uint32_t>(kRecordPrefixSize + padded));
    Data.insert(Data.end(), payload.begin(), payload.end());
    Data.resize(Data.size() + padded - payload.size(), 0);
    ++Records;
}

void TEmfWriter::AddRecord(std::uint32_t type, std::initializer_list<std::int32_t> values)
{
    std::vector<std::uint8_t> payload;
    for (const std::int32_t v : values)
        AppendI32(payload, v);
    AddRecord(type, payload);
}

void TEmfWriter::IncludeInBounds(const TRectL& drawn)
{
    TRectL r = drawn;
    if (Clip)
        r = {std::max(r.Left, Clip->Left), std::max(r.Top, Clip->Top), std::min(r.Right, Clip->Right),
             std::min(r.Bottom, Clip->Bottom)};
    if (r.Right < r.Left || r.Bottom < r.Top)
        return;
    if (!HasBounds) {
        Bounds = r;
        HasBounds = true;
        return;
    }
    Bounds.Left = std::min(Bounds.Left, r.Left);
    Bounds.Top = std::min(Bounds.Top, r.Top);
    Bounds.Right = std::max(Bounds.Right, r.Right);
    Bounds.Bottom = std::max(Bounds.Bottom, r.Bottom);
}

std::uint32_t TEmfWriter::NextHandle()
{
    for (std::uint32_t i = 1; i < HandleInUse.size(); ++i)
        if (!HandleInUse[i]) {
            HandleInUse[i] = true;
            return i;
        }
    HandleInUse.resize(std::max<std::size_t>(HandleInUse.size(), 1) + 1, false);
    HandleInUse.back() = true;
    Handles = std::max<std::uint32_t>(Handles, static_cast<std::uint32_t>(HandleInUse.size()));
    return static_cast<std::uint32_t>(HandleInUse.size() - 1);
}

std::uint32_t TEmfWriter::CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t color)
{
    const std::uint32_t handle = NextHandle();
    AddRecord(EMR_CREATEPEN, {static_cast<std::int32_t>(handle), static_cast<std::int32_t>(style), width, 0,
                              static_cast<std::int32_t>(color)});
    return handle;
}

std::uint32_t TEmfWriter::CreateBrush(std::uint32_t style, std::uint32_t color, std::uint32_t hatch)
{
    const std::uint32_t handle = NextHandle();
    AddRecord(EMR_CREATEBRUSHINDIRECT, {static_cast<std::int32_t>(handle), static_cast<std::int32_t>(style),
                                        static_cast<std::int32_t>(color), static_cast<std::int32_t>(hatch)});
    return handle;
}

std::uint32_t TEmfWriter::CreateSolidBrush(std::uint32_t color) { return CreateBrush(BS_SOLID, color, 0); }

std::uint32_t TEmfWriter::CreateFont(const TLogFont& font)
{
    const std::uint32_t handle = NextHandle();
    std::vector<std::uint8_t> payload;
    Append32(payload, handle);
    for (const std::int32_t v : {font.Height, 0, 0, 0, font.Weight})
        AppendI32(payload, v);
    payload.insert(payload.end(), {static_cast<std::uint8_t>(font.Italic), static_cast<std::uint8_t>(font.Underline),
                                   static_cast<std::uint8_t>(font.StrikeOut), font.CharSet, 0, 0, 0, 0});
    std::u16string face(font.FaceName.substr(0, 31));
    face.resize(32, u'\0');
    AppendUtf16(payload, face);
    AddRecord(EMR_EXTCREATEFONTINDIRECTW, payload);
    return handle;
}

void TEmfWriter::SelectObject(std::uint32_t handle) { AddRecord(EMR_SELECTOBJECT, {static_cast<std::int32_t>(handle)}); }

void TEmfWriter::DeleteObject(std::uint32_t handle)
{
    AddRecord(EMR_DELETEOBJECT, {static_cast<std::int32_t>(handle)});
    if (handle < HandleInUse.size())
        HandleInUse[handle] = false;
}

void TEmfWriter::SetTextColor(std::uint32_t color) { AddRecord(EMR_SETTEXTCOLOR, {static_cast<std::int32_t>(color)}); }

void TEmfWriter::SetBkColor(std::uint32_t color) { AddRecord(EMR_SETBKCOLOR, {static_cast<std::int32_t>(color)}); }

void TEmfWriter::SetBkMode(std::uint32_t mode) { AddRecord(EMR_SETBKMODE, {static_cast<std::int32_t>(mode)}); }

void TEmfWriter::SetBkModeTransparent() { SetBkMode(TRANSPARENT); }

void TEmfWriter::SetTextAlign(std::uint32_t align) { AddRecord(EMR_SETTEXTALIGN, {static_cast<std::int32_t>(align)}); }

void TEmfWriter::SelectClipRect(const TRectL& rect)
{
    constexpr std::uint32_t RGN_COPY = 5;
    const std::vector<std::uint8_t> region = RegionData(rect);
    std::vector<std::uint8_t> payload;
    Append32(payload, static_cast<std::uint32_t>(region.size()));
    Append32(payload, RGN_COPY);
    payload.insert(payload.end(), region.begin(), region.end());
    AddRecord(EMR_EXTSELECTCLIPRGN, payload);
    Clip = Inclusive(rect);
}

void TEmfWriter::ResetClip()
{
    constexpr std::int32_t RGN_COPY = 5;
    AddRecord(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});  // no region: back to the whole surface
    Clip.reset();
}

void TEmfWriter::Rectangle(const TRectL& r)
{
    AddRecord(EMR_RECTANGLE, {r.Left, r.Top, r.Right, r.Bottom});
    IncludeInBounds(Inclusive(r));
}

void TEmfWriter::Ellipse(const TRectL& r)
{
    AddRecord(EMR_ELLIPSE, {r.Left, r.Top, r.Right, r.Bottom});
    IncludeInBounds(Inclusive(r));
}

void TEmfWriter::MoveTo(std::int32_t x, std::int32_t y)
{
    AddRecord(EMR_MOVETOEX, {x, y});
    CurrentX = x;
    CurrentY = y;
}

void TEmfWriter::LineTo(std::int32_t x, std::int32_t y)
{
    AddRecord(EMR_LINETO, {x, y});
    IncludeInBounds({std::min(CurrentX, x), std::min(CurrentY, y), std::max(CurrentX, x), std::max(CurrentY, y)});
    CurrentX = x;
    CurrentY = y;
}

void TEmfWriter::PatBlt(const TRectL& r)
{
    // EMR_BITBLT with PATCOPY and no source bitmap: fills with the selected brush.
    constexpr std::int32_t PATCOPY = 0x00F00021;
    constexpr std::int32_t kOne = 0x3F800000;  // 1.0f, for the identity source transform
    const TRectL bounds = Inclusive(r);
    AddRecord(EMR_BITBLT, {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom, r.Left, r.Top, r.Right - r.Left,
                           r.Bottom - r.Top, PATCOPY, 0, 0, kOne, 0, 0, kOne, 0, 0, 0, 0, 0, 0, 0, 0});
    IncludeInBounds(bounds);
}

void TEmfWriter::TextOut(std::int32_t x, std::int32_t y, std::u16string_view text)
{
    ExtTextOut(x, y, 0, {0, 0, -1, -1}, text, {}, {0, 0, -1, -1});
}

void TEmfWriter::ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const TRectL& rect,
                            std::u16string_view text, std::span<const std::int32_t> dx, const TRectL& bounds)
{
    // EMR_EXTTEXTOUTW: bounds, graphics mode, scales, then one EMRTEXT whose
    // string and dx array follow the fixed part.
    constexpr std::uint32_t kFixedSize = 76;  // from the record start to the string
    constexpr std::uint32_t GM_COMPATIBLE = 1;
    if (!dx.empty() && dx.size() != text.size())
        throw Exception("A text record needs one advance per character");
    const std::size_t stringBytes = (text.size() * 2 + 3) / 4 * 4;
    // Page units to 0.01 mm, for readers that scale text in the compatible mode.
    const float scale = 2540.0f / static_cast<float>(PixelsPerInch);
    std::vector<std::uint8_t> payload;
    AppendRect(payload, bounds);
    Append32(payload, GM_COMPATIBLE);
    AppendFloat(payload, scale);
    AppendFloat(payload, scale);
    AppendI32(payload, x);
    AppendI32(payload, y);
    Append32(payload, static_cast<std::uint32_t>(text.size()));
    Append32(payload, kFixedSize);
    Append32(payload, options);
    AppendRect(payload, rect);
    Append32(payload, dx.empty() ? 0 : static_cast<std::uint32_t>(kFixedSize + stringBytes));
    AppendUtf16(payload, text);
    payload.resize(kFixedSize - kRecordPrefixSize + stringBytes, 0);
    for (const std::int32_t advance : dx)
        AppendI32(payload, advance);
    AddRecord(EMR_EXTTEXTOUTW, payload);
    IncludeInBounds(bounds);
}

void TEmfWriter::StretchDIBits(const TRectL& dest, const TDibPixels& dib)
{
    constexpr std::uint32_t kFixedSize = 80;  // from the record start to the bitmap header
    constexpr std::uint32_t kInfoHeaderSize = 40;
    constexpr std::uint32_t DIB_RGB_COLORS = 0;
    constexpr std::uint32_t SRCCOPY = 0x00CC0020;
    constexpr std::uint32_t BI_RGB = 0;
    if (dib.Width <= 0 || dib.Height <= 0 || (dib.BitCount != 24 && dib.BitCount != 32) ||
        dib.Bits.size() / dib.RowBytes() != static_cast<std::size_t>(dib.Height) ||
        dib.Bits.size() % dib.RowBytes() != 0)
        throw Exception("The bitmap's pixels do not match its size");
    if (dib.Bits.size() > std::numeric_limits<std::uint32_t>::max() - kFixedSize - kInfoHeaderSize)
        throw Exception("The recording is too large for a metafile");
    const auto bitsSize = static_cast<std::uint32_t>(dib.Bits.size());
    std::vector<std::uint8_t> payload;
    payload.reserve(kFixedSize + kInfoHeaderSize + dib.Bits.size());
    AppendRect(payload, Inclusive(dest));
    for (const std::int32_t v : {dest.Left, dest.Top, 0, 0, dib.Width, dib.Height})
        AppendI32(payload, v);
    Append32(payload, kFixedSize);
    Append32(payload, kInfoHeaderSize);
    Append32(payload, kFixedSize + kInfoHeaderSize);
    Append32(payload, bitsSize);
    Append32(payload, DIB_RGB_COLORS);
    Append32(payload, SRCCOPY);
    AppendI32(payload, dest.Right - dest.Left);
    AppendI32(payload, dest.Bottom - dest.Top);
    // BITMAPINFOHEADER: bottom-up rows, no colour table, the recording's resolution.
    const auto pixelsPerMeter = static_cast<std::int32_t>(Round(static_cast<long double>(PixelsPerInch) * 10000 / 254));
    Append32(payload, kInfoHeaderSize);
    AppendI32(payload, dib.Width);
    AppendI32(payload, dib.Height);
    Append32(payload, 1u | (static_cast<std::uint32_t>(dib.BitCount) << 16));  // planes, bit count
    Append32(payload, BI_RGB);
    Append32(payload, bitsSize);
    AppendI32(payload, pixelsPerMeter);
    AppendI32(payload, pixelsPerMeter);
    Append32(payload, 0);  // colours used
    Append32(payload, 0);  // colours important
    payload.insert(payload.end(), dib.Bits.begin(), dib.Bits.end());
    AddRecord(EMR_STRETCHDIBITS, payload);
    IncludeInBounds(Inclusive(dest));
}

std::vector<std::uint8_t> TEmfWriter::Finish()
{
    // No palette: nPalEntries 0, offPalEntries 16, nSizeLast = the record size, 20.
    AddRecord(EMR_EOF, {0, 16, 20});
    const auto toHundredthMm = [this](std::int32_t pixels) {
        return static_cast<std::int32_t>(Round(static_cast<long double>(pixels) * 2540 / PixelsPerInch));
    };
    std::uint8_t* h = Data.data();
    StoreUInt32(h, EMR_HEADER);
    StoreUInt32(h + 4, kExtendedHeaderSize);
    const TRectL bounds = HasBounds ? Bounds : TRectL {0, 0, -1, -1};
    const TRectL frame {0, 0, toHundredthMm(Width), toHundredthMm(Height)};
    const std::int32_t fields[] = {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom,
                                   frame.Left,  frame.Top,  frame.Right,  frame.Bottom};
    for (std::size_t i = 0; i < 8; ++i)
        StoreInt32(h + 8 + 4 * i, fields[i]);
    StoreUInt32(h + 40, ENHMETA_SIGNATURE);
    StoreUInt32(h + 44, ENHMETA_VERSION);
    StoreUInt32(h + 48, static_cast<std::uint32_t>(Data.size()));
    StoreUInt32(h + 52, Records);
    StoreUInt16(h + 56, static_cast<std::uint16_t>(Handles));
    StoreInt32(h + 72, kScreenWidthInches * PixelsPerInch);
    StoreInt32(h + 76, kScreenHeightInches * PixelsPerInch);
    StoreInt32(h + 80, kScreenWidthMillimetres);
    StoreInt32(h + 84, kScreenHeightMillimetres);
    StoreInt32(h + 100, kScreenWidthMillimetres * 1000);
    StoreInt32(h + 104, kScreenHeightMillimetres * 1000);
    return std::move(Data);
}

}  // namespace qrp::emf
