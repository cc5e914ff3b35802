#include "platform/emf/emf_writer.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "platform/rounding.h"

namespace qrp::emf {

namespace {
// The reference screen: 1920 × 1080 pixels; its size in millimetres follows from the resolution.
constexpr std::int32_t kScreenWidth = 1920;
constexpr std::int32_t kScreenHeight = 1080;

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

void AppendUtf16(std::vector<std::uint8_t>& out, std::u16string_view text)
{
    for (const char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
}
}  // namespace

TEmfWriter::TEmfWriter(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch)
    : Data(kExtendedHeaderSize, 0), Width(width), Height(height), PixelsPerInch(pixelsPerInch)
{
}

void TEmfWriter::AddRecord(std::uint32_t type, std::span<const std::uint8_t> payload)
{
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

void TEmfWriter::IncludeInBounds(const TRectL& r)
{
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

std::uint32_t TEmfWriter::CreateSolidBrush(std::uint32_t color)
{
    const std::uint32_t handle = NextHandle();
    AddRecord(EMR_CREATEBRUSHINDIRECT,
              {static_cast<std::int32_t>(handle), static_cast<std::int32_t>(BS_SOLID), static_cast<std::int32_t>(color), 0});
    return handle;
}

std::uint32_t TEmfWriter::CreateFont(const TLogFont& font)
{
    const std::uint32_t handle = NextHandle();
    std::vector<std::uint8_t> payload;
    Append32(payload, handle);
    for (const std::int32_t v : {font.Height, 0, 0, 0, font.Weight})
        AppendI32(payload, v);
    payload.insert(payload.end(), {static_cast<std::uint8_t>(font.Italic), static_cast<std::uint8_t>(font.Underline), 0,
                                   font.CharSet, 0, 0, 0, 0});
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

void TEmfWriter::Rectangle(const TRectL& r)
{
    AddRecord(EMR_RECTANGLE, {r.Left, r.Top, r.Right, r.Bottom});
    IncludeInBounds({r.Left, r.Top, r.Right - 1, r.Bottom - 1});
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

void TEmfWriter::SetBkModeTransparent() { AddRecord(EMR_SETBKMODE, {static_cast<std::int32_t>(TRANSPARENT)}); }

void TEmfWriter::TextOut(std::int32_t x, std::int32_t y, std::u16string_view text)
{
    // EMR_EXTTEXTOUTW: bounds, graphics mode, scales, then one EMRTEXT whose
    // string follows the fixed part; no dx array, so readers space by the font.
    constexpr std::uint32_t kFixedSize = 76;  // from the record start to the string
    constexpr std::uint32_t GM_COMPATIBLE = 1;
    std::vector<std::uint8_t> payload;
    AppendRect(payload, {0, 0, -1, -1});
    Append32(payload, GM_COMPATIBLE);
    Append32(payload, 0);  // exScale, ignored in the compatible mode
    Append32(payload, 0);  // eyScale
    AppendI32(payload, x);
    AppendI32(payload, y);
    Append32(payload, static_cast<std::uint32_t>(text.size()));
    Append32(payload, kFixedSize);
    Append32(payload, 0);                    // fOptions
    AppendRect(payload, {0, 0, -1, -1});     // no clipping or opaquing rectangle
    Append32(payload, 0);                    // offDx
    AppendUtf16(payload, text);
    AddRecord(EMR_EXTTEXTOUTW, payload);
}

std::vector<std::uint8_t> TEmfWriter::Finish()
{
    // No palette: nPalEntries 0, offPalEntries 16, nSizeLast = the record size, 20.
    AddRecord(EMR_EOF, {0, 16, 20});
    const auto toHundredthMm = [this](std::int32_t pixels) {
        return static_cast<std::int32_t>(Round(static_cast<long double>(pixels) * 2540 / PixelsPerInch));
    };
    const auto toMillimetres = [this](std::int32_t pixels) {
        return static_cast<std::int32_t>(Round(static_cast<long double>(pixels) * 25.4L / PixelsPerInch));
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
    StoreInt32(h + 72, kScreenWidth);
    StoreInt32(h + 76, kScreenHeight);
    StoreInt32(h + 80, toMillimetres(kScreenWidth));
    StoreInt32(h + 84, toMillimetres(kScreenHeight));
    StoreInt32(h + 100, toMillimetres(kScreenWidth) * 1000);
    StoreInt32(h + 104, toMillimetres(kScreenHeight) * 1000);
    return std::move(Data);
}

}  // namespace qrp::emf
