#pragma once
// Builds the bytes of an enhanced metafile record by record: the header
// (frame, bounds, reference device, counts, total size) is completed when the
// metafile is finished. The reference device is a screen of the given
// resolution, as for every page recording.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emf/emf_header.h"

namespace qrp::emf {

constexpr std::uint32_t EMR_SETBKMODE = 18;
constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
constexpr std::uint32_t EMR_SETTEXTCOLOR = 24;
constexpr std::uint32_t EMR_MOVETOEX = 27;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_RECTANGLE = 43;
constexpr std::uint32_t EMR_LINETO = 54;
constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;

constexpr std::uint32_t TRANSPARENT = 1;
constexpr std::uint32_t PS_SOLID = 0;
constexpr std::uint32_t BS_SOLID = 0;

struct TLogFont {
    std::int32_t Height = -16;  // negative: character height in logical units
    std::int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    std::uint8_t CharSet = 1;  // DEFAULT_CHARSET
    std::u16string_view FaceName = u"Arial";
};

class TEmfWriter {
public:
    // A recording width × height pixels large at pixelsPerInch.
    TEmfWriter(std::int32_t width, std::int32_t height, std::int32_t pixelsPerInch = 96);

    // Appends a record with the given payload (padded to a multiple of 4 bytes).
    void AddRecord(std::uint32_t type, std::span<const std::uint8_t> payload);
    void AddRecord(std::uint32_t type, std::initializer_list<std::int32_t> values);
    // Grows the picture's bounds (device units, inclusive) by a drawn rectangle.
    void IncludeInBounds(const TRectL& rect);

    // Creates an object in the next free handle slot and returns its index.
    std::uint32_t CreatePen(std::uint32_t style, std::int32_t width, std::uint32_t color);
    std::uint32_t CreateSolidBrush(std::uint32_t color);
    std::uint32_t CreateFont(const TLogFont& font);
    void SelectObject(std::uint32_t handle);
    void DeleteObject(std::uint32_t handle);

    void Rectangle(const TRectL& rect);
    void MoveTo(std::int32_t x, std::int32_t y);
    void LineTo(std::int32_t x, std::int32_t y);
    void TextOut(std::int32_t x, std::int32_t y, std::u16string_view text);
    void SetBkModeTransparent();

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
    std::int32_t Width, Height, PixelsPerInch;
    std::int32_t CurrentX = 0, CurrentY = 0;
};

}  // namespace qrp::emf
