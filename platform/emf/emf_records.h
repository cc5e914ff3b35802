#pragma once
// Record types of enhanced metafiles and the constants their fields use, as
// the EMF format numbers them. Shared by the writer and the player.

#include <cstdint>

namespace qrp::emf {

constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_POLYBEZIER = 2;
constexpr std::uint32_t EMR_POLYGON = 3;
constexpr std::uint32_t EMR_POLYLINE = 4;
constexpr std::uint32_t EMR_POLYBEZIERTO = 5;
constexpr std::uint32_t EMR_POLYLINETO = 6;
constexpr std::uint32_t EMR_POLYPOLYLINE = 7;
constexpr std::uint32_t EMR_POLYPOLYGON = 8;
constexpr std::uint32_t EMR_SETWINDOWEXTEX = 9;
constexpr std::uint32_t EMR_SETWINDOWORGEX = 10;
constexpr std::uint32_t EMR_SETVIEWPORTEXTEX = 11;
constexpr std::uint32_t EMR_SETVIEWPORTORGEX = 12;
constexpr std::uint32_t EMR_SETBRUSHORGEX = 13;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMR_SETPIXELV = 15;
constexpr std::uint32_t EMR_SETMAPPERFLAGS = 16;
constexpr std::uint32_t EMR_SETMAPMODE = 17;
constexpr std::uint32_t EMR_SETBKMODE = 18;
constexpr std::uint32_t EMR_SETPOLYFILLMODE = 19;
constexpr std::uint32_t EMR_SETROP2 = 20;
constexpr std::uint32_t EMR_SETSTRETCHBLTMODE = 21;
constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
constexpr std::uint32_t EMR_SETCOLORADJUSTMENT = 23;
constexpr std::uint32_t EMR_SETTEXTCOLOR = 24;
constexpr std::uint32_t EMR_SETBKCOLOR = 25;
constexpr std::uint32_t EMR_OFFSETCLIPRGN = 26;
constexpr std::uint32_t EMR_MOVETOEX = 27;
constexpr std::uint32_t EMR_SETMETARGN = 28;
constexpr std::uint32_t EMR_EXCLUDECLIPRECT = 29;
constexpr std::uint32_t EMR_INTERSECTCLIPRECT = 30;
constexpr std::uint32_t EMR_SCALEVIEWPORTEXTEX = 31;
constexpr std::uint32_t EMR_SCALEWINDOWEXTEX = 32;
constexpr std::uint32_t EMR_SAVEDC = 33;
constexpr std::uint32_t EMR_RESTOREDC = 34;
constexpr std::uint32_t EMR_SETWORLDTRANSFORM = 35;
constexpr std::uint32_t EMR_MODIFYWORLDTRANSFORM = 36;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_ANGLEARC = 41;
constexpr std::uint32_t EMR_ELLIPSE = 42;
constexpr std::uint32_t EMR_RECTANGLE = 43;
constexpr std::uint32_t EMR_ROUNDRECT = 44;
constexpr std::uint32_t EMR_ARC = 45;
constexpr std::uint32_t EMR_CHORD = 46;
constexpr std::uint32_t EMR_PIE = 47;
constexpr std::uint32_t EMR_SELECTPALETTE = 48;
constexpr std::uint32_t EMR_CREATEPALETTE = 49;
constexpr std::uint32_t EMR_SETPALETTEENTRIES = 50;
constexpr std::uint32_t EMR_RESIZEPALETTE = 51;
constexpr std::uint32_t EMR_REALIZEPALETTE = 52;
constexpr std::uint32_t EMR_EXTFLOODFILL = 53;
constexpr std::uint32_t EMR_LINETO = 54;
constexpr std::uint32_t EMR_ARCTO = 55;
constexpr std::uint32_t EMR_POLYDRAW = 56;
constexpr std::uint32_t EMR_SETARCDIRECTION = 57;
constexpr std::uint32_t EMR_SETMITERLIMIT = 58;
constexpr std::uint32_t EMR_BEGINPATH = 59;
constexpr std::uint32_t EMR_ENDPATH = 60;
constexpr std::uint32_t EMR_CLOSEFIGURE = 61;
constexpr std::uint32_t EMR_FILLPATH = 62;
constexpr std::uint32_t EMR_STROKEANDFILLPATH = 63;
constexpr std::uint32_t EMR_STROKEPATH = 64;
constexpr std::uint32_t EMR_FLATTENPATH = 65;
constexpr std::uint32_t EMR_WIDENPATH = 66;
constexpr std::uint32_t EMR_SELECTCLIPPATH = 67;
constexpr std::uint32_t EMR_ABORTPATH = 68;
constexpr std::uint32_t EMR_GDICOMMENT = 70;
constexpr std::uint32_t EMR_FILLRGN = 71;
constexpr std::uint32_t EMR_FRAMERGN = 72;
constexpr std::uint32_t EMR_INVERTRGN = 73;
constexpr std::uint32_t EMR_PAINTRGN = 74;
constexpr std::uint32_t EMR_EXTSELECTCLIPRGN = 75;
constexpr std::uint32_t EMR_BITBLT = 76;
constexpr std::uint32_t EMR_STRETCHBLT = 77;
constexpr std::uint32_t EMR_MASKBLT = 78;
constexpr std::uint32_t EMR_PLGBLT = 79;
constexpr std::uint32_t EMR_SETDIBITSTODEVICE = 80;
constexpr std::uint32_t EMR_STRETCHDIBITS = 81;
constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr std::uint32_t EMR_EXTTEXTOUTA = 83;
constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;
constexpr std::uint32_t EMR_POLYBEZIER16 = 85;
constexpr std::uint32_t EMR_POLYGON16 = 86;
constexpr std::uint32_t EMR_POLYLINE16 = 87;
constexpr std::uint32_t EMR_POLYBEZIERTO16 = 88;
constexpr std::uint32_t EMR_POLYLINETO16 = 89;
constexpr std::uint32_t EMR_POLYPOLYLINE16 = 90;
constexpr std::uint32_t EMR_POLYPOLYGON16 = 91;
constexpr std::uint32_t EMR_POLYDRAW16 = 92;
constexpr std::uint32_t EMR_CREATEMONOBRUSH = 93;
constexpr std::uint32_t EMR_CREATEDIBPATTERNBRUSHPT = 94;
constexpr std::uint32_t EMR_EXTCREATEPEN = 95;
constexpr std::uint32_t EMR_POLYTEXTOUTA = 96;
constexpr std::uint32_t EMR_POLYTEXTOUTW = 97;
constexpr std::uint32_t EMR_SMALLTEXTOUT = 108;
constexpr std::uint32_t EMR_ALPHABLEND = 114;
constexpr std::uint32_t EMR_SETLAYOUT = 115;
constexpr std::uint32_t EMR_TRANSPARENTBLT = 116;
constexpr std::uint32_t EMR_GRADIENTFILL = 118;

// Map modes.
enum : std::uint32_t { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };

// Background modes, fill modes, arc directions, graphics modes.
enum : std::uint32_t { TRANSPARENT = 1, OPAQUE = 2 };
enum : std::uint32_t { ALTERNATE = 1, WINDING = 2 };
enum : std::uint32_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum : std::uint32_t { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };

// Text alignment flags.
enum : std::uint32_t {
    TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_HORIZONTAL_MASK = 6,
    TA_BOTTOM = 8, TA_BASELINE = 24, TA_VERTICAL_MASK = 24,
};

// ExtTextOut options.
enum : std::uint32_t {
    ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_NO_RECT = 0x100, ETO_SMALL_CHARS = 0x200,
    ETO_PDY = 0x2000,
};

// Pen styles.
enum : std::uint32_t {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7, PS_ALTERNATE = 8, PS_STYLE_MASK = 0xF,
    PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00,
    PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000,
    PS_GEOMETRIC = 0x10000,
};

// Brush styles and hatches.
enum : std::uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6 };
enum : std::uint32_t { HS_HORIZONTAL = 0, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS };

// Binary raster operations (pen and brush mixing).
enum : std::uint32_t {
    R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN, R2_NOTMASKPEN,
    R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT, R2_MERGEPEN, R2_WHITE,
};

// Region combination modes.
enum : std::uint32_t { RGN_AND = 1, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY };

// Ternary raster operations of the bitmap records.
enum : std::uint32_t {
    SRCCOPY = 0xCC0020, SRCPAINT = 0xEE0086, SRCAND = 0x8800C6, SRCINVERT = 0x660046, SRCERASE = 0x440328,
    NOTSRCCOPY = 0x330008, NOTSRCERASE = 0x1100A6, MERGECOPY = 0xC000CA, MERGEPAINT = 0xBB0226,
    PATCOPY = 0xF00021, PATPAINT = 0xFB0A09, PATINVERT = 0x5A0049, DSTINVERT = 0x550009, BLACKNESS = 0x42,
    WHITENESS = 0xFF0062,
};

// World transform modification modes.
enum : std::uint32_t { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY, MWT_RIGHTMULTIPLY, MWT_SET };

// Path point types of POLYDRAW.
enum : std::uint8_t { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };

// Stock objects, selected by these indexes without being created.
constexpr std::uint32_t kStockObjectFlag = 0x80000000;
constexpr std::uint32_t WHITE_BRUSH = kStockObjectFlag | 0;
constexpr std::uint32_t BLACK_BRUSH = kStockObjectFlag | 4;
constexpr std::uint32_t NULL_BRUSH = kStockObjectFlag | 5;
constexpr std::uint32_t BLACK_PEN = kStockObjectFlag | 7;
constexpr std::uint32_t NULL_PEN = kStockObjectFlag | 8;
constexpr std::uint32_t SYSTEM_FONT = kStockObjectFlag | 13;

}  // namespace qrp::emf
