#pragma once
// Builds the bytes of an enhanced metafile record by record: the header
// (frame, bounds, reference device, counts, total size) is completed when the
// metafile is finished. The reference device is a screen of the given
// resolution, as for every page recording. Coordinates are device pixels:
// the writer never changes the mapping, so logical and device units agree.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emf/emf_header.h"
#include "platform/emf/emf_records.h"

namespace qrp::emf {

constexpr std::uint32_t TA_TOP_LEFT = 0;  // TA_TOP | TA_LEFT | TA_NOUPDATECP

struct TLogFont {
    std::int32_t Height = -16;  // negative: character height in logical units
    std::int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    std::uint8_t CharSet = 1;  // DEFAULT_CHARSET
    std::u16string_view FaceName = u"Arial";
    bool StrikeOut = false;
};

// A device-independent bitmap without a colour table: 24 or 32 bits per
// pixel, rows bottom-up, each row padded to a multiple of 4 bytes.
struct TDibPixels {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t BitCount = 24;
    std::span<const std::uint8_t> Bits;

    std::size_t RowBytes() const { return (static_cast<std::size_t>(Width) * BitCount / 8 + 3) / 4 * 4; }
};

class TEmfWriter {
public:
    // A recording width × height pixels large at pixelsPerInch.
    TEmfWriter(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch = 96);

    // Appends a record with the given payload (padded to a multiple of 4 bytes).
    // Raises qrp::Exception when the metafile would outgrow its 32-bit sizes.
    void AddRecord(std::uint32_t type, std::span<const std::uint8_t> payload);
    void AddRecord(std::uint32_t type, std::initializer_list<std::int32_t> values);
    // Grows the picture's bounds (device units, inclusive) by a drawn
    // rectangle, as far as it lies inside the clip rectangle.
    void IncludeInBounds(const TRectL& rect);

    // Creates an object in the next free handle slot and returns its index.
    std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t color);
    std::uint32_t CreateBrush(std::uint32_t style, std::uint32_t color, std::uint32_t hatch);
    std::uint32_t CreateSolidBrush(std::uint32_t color);
    std::uint32_t CreateFont(const TLogFont& font);
    // Selects a created object or a stock object.
    void SelectObject(std::uint32_t handle);
    void DeleteObject(std::uint32_t handle);

    void SetTextColor(std::uint32_t color);
    void SetBkColor(std::uint32_t color);
    void SetBkMode(std::uint32_t mode);
    void SetBkModeTransparent();
    void SetTextAlign(std::uint32_t align);

    // Clipping to one rectangle (exclusive right and bottom), or none.
    void SelectClipRect(const TRectL& rect);
    void ResetClip();

    // Shapes take their bounding rectangle with exclusive right and bottom.
    void Rectangle(const TRectL& rect);
    void Ellipse(const TRectL& rect);
    void MoveTo(std::int32_t x, std::int32_t y);
    void LineTo(std::int32_t x, std::int32_t y);
    // Fills a rectangle (exclusive right and bottom) with the selected brush.
    void PatBlt(const TRectL& rect);

    // Text at (x, y) without a dx array, so readers space it by the font.
    void TextOut(std::int32_t x, std::int32_t y, std::u16string_view text);
    // Text at (x, y) with options (ETO_*) and their rectangle; dx holds one
    // advance per UTF-16 unit or is empty. bounds (inclusive) is what it covers.
    void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const TRectL& rect, std::u16string_view text,
                    std::span<const std::int32_t> dx, const TRectL& bounds);

    // Copies a bitmap stretched onto dest (exclusive right and bottom).
    // Raises qrp::Exception when the bits do not match the size.
    void StretchDIBits(const TRectL& dest, const TDibPixels& dib);

    // Appends EMR_EOF, completes the header and returns the whole metafile.
    std::vector<std::uint8_t> Finish();

private:
    std::uint32_t NextHandle();

    std::vector<std::uint8_t> Data;
    std::uint32_t Records = 1;
    std::uint32_t Handles = 1;  // slot 0 is the metafile itself
    std::vector<bool> HandleInUse;
    TRectL Bounds {0, 0, -1, -1};
    bool HasBounds = false;
    std::optional<TRectL> Clip;  // inclusive
    std::int32_t Width, Height, PixelsPerInch;
    std::int32_t CurrentX = 0, CurrentY = 0;
};

}  // namespace qrp::emf
