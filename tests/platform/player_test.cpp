// The EMF player, record family by record family: small metafiles built here,
// played onto an image (pixels) or the trace device (exact calls).

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/byte_order.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/emf_records.h"
#include "platform/emf/player/trace_device.h"
#include "platform/text/code_pages.h"

namespace qrp::emf {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A metafile of width × height pixels at 96 per inch. Sizes that are whole
// inches keep the frame (0.01 mm) exact, so played 1:1 nothing is rounded.
class Emf {
public:
    Emf(int width = 192, int height = 192) : Writer(width, height), Width(width), Height(height) {}
    Emf& Add(std::uint32_t type, std::initializer_list<std::int32_t> values)
    {
        Writer.AddRecord(type, values);
        return *this;
    }
    Emf& Add(std::uint32_t type, const Bytes& payload)
    {
        Writer.AddRecord(type, payload);
        return *this;
    }
    Bytes Finish() { return Writer.Finish(); }
    TEmfWriter Writer;
    int Width, Height;
};

struct Played {
    QImage Image;
    std::vector<TPlaybackProblem> Problems;
    QRgb At(int x, int y) const { return Image.pixel(x, y) & 0xFFFFFF; }
};

Played Play(const Bytes& bytes, QSize size = {192, 192})
{
    Played result;
    result.Image = QImage(size, QImage::Format_RGB32);
    result.Image.fill(Qt::white);
    QPainter painter(&result.Image);
    const TMetafile page(bytes);
    PlayMetafile(painter, page, QRectF(QPointF(0, 0), QSizeF(size)),
                 [&](const TPlaybackProblem& p) { result.Problems.push_back(p); });
    return result;
}

std::vector<std::string> Trace(const Bytes& bytes, QSizeF size = {192, 192})
{
    TTraceDevice device;
    PlayEmf(bytes, device, QRectF(QPointF(0, 0), size));
    return device.Lines();
}

constexpr QRgb kWhite = 0xFFFFFF, kBlackRgb = 0x000000, kRedRgb = 0xFF0000, kGreenRgb = 0x00FF00, kBlueRgb = 0x0000FF;

Emf& SolidBrush(Emf& e, std::int32_t index, std::uint32_t color)
{
    e.Add(EMR_CREATEBRUSHINDIRECT, {index, 0, static_cast<std::int32_t>(color), 0});
    return e.Add(EMR_SELECTOBJECT, {index});
}

Emf& Pen(Emf& e, std::int32_t index, std::uint32_t style, std::int32_t width, std::uint32_t color)
{
    e.Add(EMR_CREATEPEN, {index, static_cast<std::int32_t>(style), width, 0, static_cast<std::int32_t>(color)});
    return e.Add(EMR_SELECTOBJECT, {index});
}

constexpr std::int32_t kNullPen = static_cast<std::int32_t>(kStockObjectFlag | 8);
constexpr std::int32_t kBlackBrush = static_cast<std::int32_t>(kStockObjectFlag | 4);

// Little-endian 32-bit words, as records hold them.
void PutWords(Bytes& bytes, std::initializer_list<std::int32_t> words)
{
    for (const std::int32_t w : words)
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(w) >> (8 * b)));
}

TEST(PlayerShapes, RectanglesFollowTheDeviceConventions)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_RECTANGLE, {10, 10, 20, 20});
    const Played p = Play(e.Finish());
    // The pen outlines pixels 10..19; the brush fills the inside; 20 stays white.
    EXPECT_EQ(p.At(10, 10), kBlackRgb);
    EXPECT_EQ(p.At(19, 19), kBlackRgb);
    EXPECT_EQ(p.At(15, 15), kRedRgb);
    EXPECT_EQ(p.At(20, 15), kWhite);
    EXPECT_EQ(p.At(15, 20), kWhite);
    EXPECT_TRUE(p.Problems.empty());
}

TEST(PlayerShapes, PolygonsLinesCurvesAndArcs)
{
    Emf e;
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush});
    // EMR_POLYGON16: a triangle; EMR_POLYLINE: a line; EMR_ELLIPSE, EMR_PIE, EMR_ROUNDRECT; EMR_SETPIXELV.
    e.Add(EMR_POLYGON16, {0, 0, 0, 0, 3, 0, (40 << 16) | 0, (40 << 16) | 40});
    Pen(e, 1, PS_SOLID, 1, kBlue);
    e.Add(EMR_POLYLINE, {0, 0, 0, 0, 2, 50, 5, 95, 5});
    e.Add(EMR_SELECTOBJECT, {kNullPen});
    SolidBrush(e, 2, kGreen);
    e.Add(EMR_ELLIPSE, {50, 50, 91, 91});
    e.Add(EMR_PIE, {0, 50, 40, 90, 40, 70, 20, 50});  // a quarter from 3 to 12 o'clock, counter-clockwise
    e.Add(EMR_SETPIXELV, {97, 97, static_cast<std::int32_t>(kRed)});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(5, 30), kBlackRgb) << "inside the triangle";
    EXPECT_EQ(p.At(35, 5), kWhite) << "outside it";
    EXPECT_EQ(p.At(70, 5), kBlueRgb);
    EXPECT_EQ(p.At(70, 70), kGreenRgb);
    EXPECT_EQ(p.At(52, 52), kWhite) << "corner outside the ellipse";
    EXPECT_EQ(p.At(30, 60), kGreenRgb) << "the pie's upper right quarter";
    EXPECT_EQ(p.At(10, 80), kWhite) << "the rest of the pie's ellipse";
    EXPECT_EQ(p.At(97, 97), kRedRgb);
}

TEST(PlayerShapes, BezierAndPolyPolygonsStayInsideTheirPoints)
{
    Emf e;
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush});
    // Two squares in one EMR_POLYPOLYGON: 0..10 and 20..30.
    e.Add(EMR_POLYPOLYGON, {0, 0, 0, 0, 2, 8, 4, 4, 0, 0, 10, 0, 10, 10, 0, 10, 20, 20, 30, 20, 30, 30, 20, 30});
    Pen(e, 1, PS_SOLID, 1, kRed);
    e.Add(EMR_POLYBEZIER16, {0, 0, 0, 0, 4, (40 << 16) | 50, (90 << 16) | 50, (90 << 16) | 90, (40 << 16) | 90});
    const auto lines = Trace(e.Finish());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "fill 0,0 30x30 #000000");
    EXPECT_EQ(lines[2].rfind("stroke 50,40 ", 0), 0u) << lines[2];
}

TEST(PlayerState, SavedStatesComeBack)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SAVEDC, {}).Add(EMR_SAVEDC, {});
    SolidBrush(e, 2, kGreen);
    e.Add(EMR_RESTOREDC, {-2});  // back to the red brush, both levels gone
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 50, 50});
    e.Add(EMR_RESTOREDC, {-1});  // nothing left to restore
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(10, 10), kRedRgb);
    ASSERT_EQ(p.Problems.size(), 1u);
    EXPECT_EQ(p.Problems[0].RecordType, EMR_RESTOREDC);
}

TEST(PlayerState, MappingModesAndWorldTransforms)
{
    // MM_ANISOTROPIC: window 1000 × 1000 onto the viewport 100 × 50.
    Emf a;
    a.Add(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Add(EMR_SETWINDOWEXTEX, {1000, 1000}).Add(EMR_SETVIEWPORTEXTEX, {100, 50});
    a.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush}).Add(EMR_RECTANGLE, {500, 500, 1000, 1000});
    EXPECT_EQ(Trace(a.Finish())[1], "fill 50,25 49x24 #000000");

    // MM_LOMETRIC: 0.1 mm units with y upwards, on a 96 dpi reference (1920 px = 508 mm).
    Emf m;
    m.Add(EMR_SETMAPMODE, {MM_LOMETRIC}).Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush});
    m.Add(EMR_RECTANGLE, {0, 0, 254, -254});  // one inch square below the origin
    EXPECT_EQ(Trace(m.Finish())[1], "fill 0,0 95x95 #000000");

    // World transforms: scaled by 2, then moved by 10 before it (left multiply).
    Emf w;
    const auto f = [](float v) { std::uint32_t bits; std::memcpy(&bits, &v, 4); return static_cast<std::int32_t>(bits); };
    w.Add(EMR_SETWORLDTRANSFORM, {f(2), 0, 0, f(2), 0, 0});
    w.Add(EMR_MODIFYWORLDTRANSFORM, {f(1), 0, 0, f(1), f(10), f(0), MWT_LEFTMULTIPLY});
    w.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush}).Add(EMR_RECTANGLE, {0, 0, 10, 10});
    // A degenerate transform is refused and the last good one stays.
    w.Add(EMR_SETWORLDTRANSFORM, {0, 0, 0, 0, 0, 0}).Add(EMR_RECTANGLE, {0, 0, 10, 10});
    const auto lines = Trace(w.Finish());
    EXPECT_EQ(lines[1], "fill 20,0 19x19 #000000");
    EXPECT_EQ(lines[2], "fill 20,0 19x19 #000000");
}

TEST(PlayerState, TheFrameIsStretchedOntoTheTarget)
{
    Emf e(192, 96);
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SELECTOBJECT, {kBlackBrush}).Add(EMR_RECTANGLE, {0, 0, 97, 49});
    // Twice as wide, four times as tall.
    EXPECT_EQ(Trace(e.Finish(), {384, 384})[1], "fill 0,0 192x192 #000000");
}

TEST(PlayerPens, StylesWidthsAndTheNullPen)
{
    Emf e;
    Pen(e, 1, PS_DASH, 1, kBlue);
    e.Add(EMR_MOVETOEX, {0, 10}).Add(EMR_LINETO, {100, 10});
    Pen(e, 2, PS_DASH, 5, kBlue);  // wider than one unit: drawn solid
    e.Add(EMR_MOVETOEX, {0, 30}).Add(EMR_LINETO, {100, 30});
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_MOVETOEX, {0, 50}).Add(EMR_LINETO, {100, 50});
    e.Add(EMR_SETBKMODE, {TRANSPARENT});
    const auto lines = Trace(e.Finish());
    // The dashed line first draws its gaps in the (opaque, white) background.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "stroke 0,10 100x0 #ffffff width 0");
    EXPECT_EQ(lines[2], "stroke 0,10 100x0 #0000ff width 0 dashed");
    EXPECT_EQ(lines[3], "stroke 0.5,30.5 100x0 #0000ff width 5");
}

TEST(PlayerPens, GeometricPensDrawWithTheirBrush)
{
    // EMR_EXTCREATEPEN: a 20-unit geometric pen with a hatched brush (vertical
    // hatch lines), then one with a 2 × 2 DIB pattern of red and green columns.
    Emf e;
    SolidBrush(e, 9, kWhite);
    e.Add(EMR_SETBKMODE, {TRANSPARENT});
    e.Add(EMR_EXTCREATEPEN, {1, 52, 0, 52, 0, static_cast<std::int32_t>(PS_GEOMETRIC | PS_ENDCAP_FLAT), 20, BS_HATCHED,
                             static_cast<std::int32_t>(kBlue), 1, 0});
    e.Add(EMR_SELECTOBJECT, {1}).Add(EMR_MOVETOEX, {0, 30}).Add(EMR_LINETO, {100, 30});
    Bytes pattern;
    PutWords(pattern, {2, 52, 40, 92, 16, static_cast<std::int32_t>(PS_GEOMETRIC | PS_ENDCAP_FLAT), 20, BS_DIBPATTERNPT, 0, 0, 0});
    PutWords(pattern, {40, 2, 2, 1 | (24 << 16), 0, 16, 0, 0, 0, 0});
    for (int row = 0; row < 2; ++row)
        PutWords(pattern, {0x00FF0000, 0x000000FF});  // red, green and the row padding
    e.Add(EMR_EXTCREATEPEN, pattern);
    e.Add(EMR_SELECTOBJECT, {2}).Add(EMR_MOVETOEX, {0, 80}).Add(EMR_LINETO, {100, 80});
    const Played p = Play(e.Finish());
    int blue = 0, white = 0;
    for (int x = 10; x < 90; ++x)
        (p.At(x, 30) == kBlueRgb ? blue : white) += 1;
    EXPECT_GT(blue, 5) << "hatch lines cross the stroke";
    EXPECT_GT(white, 40) << "and leave the background between them";
    int red = 0, green = 0;
    for (int x = 10; x < 90; ++x) {
        red += p.At(x, 80) == kRedRgb ? 1 : 0;
        green += p.At(x, 80) == kGreenRgb ? 1 : 0;
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(green, 20);
    EXPECT_TRUE(p.Problems.empty());
}

TEST(PlayerBrushes, HatchesAndPatterns)
{
    Emf e;
    e.Add(EMR_CREATEBRUSHINDIRECT, {1, BS_HATCHED, static_cast<std::int32_t>(kRed), HS_CROSS});
    e.Add(EMR_SELECTOBJECT, {1}).Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_SETBKMODE, {TRANSPARENT});
    e.Add(EMR_RECTANGLE, {0, 0, 41, 41});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(7, 3), kRedRgb) << "the vertical hatch line";
    EXPECT_EQ(p.At(3, 7), kRedRgb) << "the horizontal one";
    EXPECT_EQ(p.At(3, 3), kWhite) << "transparent between the lines";
}

TEST(PlayerObjects, BadHandlesAreReportedAndSkipped)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_DELETEOBJECT, {1}).Add(EMR_SELECTOBJECT, {1});  // deleted
    e.Add(EMR_SELECTOBJECT, {70000});                       // beyond any table
    e.Add(EMR_CREATEPEN, {0, 0, 1, 0, 0});                  // slot 0 is the metafile's own
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 50, 50});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(10, 10), kRedRgb) << "the selected brush stays after deletion";
    ASSERT_EQ(p.Problems.size(), 3u);
    for (const auto& problem : p.Problems)
        EXPECT_GT(problem.Offset, 0u);
}

TEST(PlayerPaths, FillStrokeAndClipToAPath)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_BEGINPATH, {}).Add(EMR_RECTANGLE, {0, 0, 50, 50}).Add(EMR_ENDPATH, {});
    e.Add(EMR_SELECTCLIPPATH, {RGN_COPY});
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 100, 100});
    e.Add(EMR_BEGINPATH, {}).Add(EMR_MOVETOEX, {60, 60}).Add(EMR_LINETO, {90, 60}).Add(EMR_LINETO, {90, 90}).Add(EMR_CLOSEFIGURE, {});
    e.Add(EMR_ENDPATH, {}).Add(EMR_FILLPATH, {0, 0, 0, 0});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(20, 20), kRedRgb);
    EXPECT_EQ(p.At(70, 20), kWhite) << "clipped away by the path";
    EXPECT_EQ(p.At(85, 70), kWhite) << "the second path lies outside the clip too";
}

TEST(PlayerClipping, RectanglesRegionsAndReset)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SELECTOBJECT, {kNullPen});
    e.Add(EMR_INTERSECTCLIPRECT, {0, 0, 50, 100}).Add(EMR_EXCLUDECLIPRECT, {10, 10, 20, 20});
    e.Add(EMR_RECTANGLE, {0, 0, 101, 101});
    // A region of two rectangles in device units, then the clip reset.
    const std::int32_t region[] = {32, 1, 2, 32, 60, 0, 100, 100, 60, 0, 70, 10, 80, 0, 90, 10};
    Bytes payload;
    for (const std::int32_t v : std::initializer_list<std::int32_t> {64, RGN_COPY})
        payload.insert(payload.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), 0, 0});
    for (const std::int32_t v : region)
        for (int b = 0; b < 4; ++b)
            payload.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
    e.Add(EMR_EXTSELECTCLIPRGN, payload);
    SolidBrush(e, 2, kGreen);
    e.Add(EMR_RECTANGLE, {0, 0, 101, 101});
    e.Add(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
    SolidBrush(e, 3, kBlue);
    e.Add(EMR_RECTANGLE, {0, 95, 101, 101});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(5, 5), kRedRgb);
    EXPECT_EQ(p.At(15, 15), kWhite) << "excluded";
    EXPECT_EQ(p.At(65, 5), kGreenRgb);
    EXPECT_EQ(p.At(85, 5), kGreenRgb);
    EXPECT_EQ(p.At(75, 5), kWhite) << "between the region's rectangles";
    EXPECT_EQ(p.At(75, 97), kBlueRgb) << "after the reset";
}

// A painter that already scales and moves its drawing (a printer canvas, a
// tile of a page) clips where it draws.
TEST(PlayerClipping, TheClipFollowsThePaintersOwnTransform)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SELECTOBJECT, {kNullPen});
    e.Add(EMR_INTERSECTCLIPRECT, {0, 0, 96, 192});
    e.Add(EMR_RECTANGLE, {0, 0, 193, 193});
    QImage image(192, 192, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(20, 10);
        painter.scale(0.5, 0.5);
        PlayMetafile(painter, TMetafile(e.Finish()), QRectF(0, 0, 192, 192));
    }
    // The page covers 20..116 across; its left half, 20..68, is clipped in.
    EXPECT_EQ(image.pixel(30, 50) & 0xFFFFFF, kRedRgb);
    EXPECT_EQ(image.pixel(66, 50) & 0xFFFFFF, kRedRgb);
    EXPECT_EQ(image.pixel(72, 50) & 0xFFFFFF, kWhite) << "the clip's right edge, moved and scaled";
    EXPECT_EQ(image.pixel(110, 50) & 0xFFFFFF, kWhite);
    EXPECT_EQ(image.pixel(10, 50) & 0xFFFFFF, kWhite) << "left of the page";
}

// EMR_EXTTEXTOUTW payload: reference point, text, options, rectangle and optional dx array.
Bytes TextPayload(std::int32_t x, std::int32_t y, const std::u16string& text, std::uint32_t options,
                  std::initializer_list<std::int32_t> dx = {}, std::array<std::int32_t, 4> rect = {0, 0, 0, 0})
{
    std::vector<std::int32_t> words = {0, 0, -1, -1, GM_COMPATIBLE, 0, 0, x, y, static_cast<std::int32_t>(text.size()),
                                       76, static_cast<std::int32_t>(options), rect[0], rect[1], rect[2], rect[3], 0};
    Bytes payload;
    for (const std::int32_t w : words)
        for (int b = 0; b < 4; ++b)
            payload.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
    for (const char16_t c : text)
        payload.insert(payload.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    while (payload.size() % 4 != 0)
        payload.push_back(0);
    if (dx.size() > 0) {
        StoreInt32(payload.data() + 64, static_cast<std::int32_t>(payload.size() + 8));
        for (const std::int32_t d : dx)
            for (int b = 0; b < 4; ++b)
                payload.push_back(static_cast<std::uint8_t>(d >> (8 * b)));
    }
    return payload;
}

Bytes FontPayload(std::int32_t index, std::int32_t height, std::int32_t escapement, std::uint8_t charset, const std::u16string& face)
{
    Bytes payload(4 + 92, 0);
    StoreInt32(payload.data(), index);
    StoreInt32(payload.data() + 4, height);
    StoreInt32(payload.data() + 12, escapement);
    payload[4 + 23] = charset;
    for (std::size_t i = 0; i < face.size(); ++i)
        StoreUInt16(payload.data() + 32 + 2 * i, face[i]);
    return payload;
}

TEST(PlayerText, CharactersLandWhereTheAdvancesPutThem)
{
    Emf e(192, 96);
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -20, 0, 1, u"Arial")).Add(EMR_SELECTOBJECT, {1});
    e.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE});
    e.Add(EMR_EXTTEXTOUTW, TextPayload(10, 50, u"ABC", 0, {30, 40, 50}));
    e.Add(EMR_SETTEXTALIGN, {TA_BASELINE | TA_RIGHT});
    e.Add(EMR_EXTTEXTOUTW, TextPayload(190, 80, u"ABC", 0, {30, 40, 50}));
    e.Add(EMR_SETTEXTALIGN, {TA_BASELINE | TA_CENTER});
    e.Add(EMR_EXTTEXTOUTW, TextPayload(100, 20, u"AB", 0, {10, 10}));
    const auto lines = Trace(e.Finish(), {192, 96});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "text 'ABC' at 10,50 Liberation Sans 20px #000000 last 80,50");
    EXPECT_EQ(lines[2], "text 'ABC' at 70,80 Liberation Sans 20px #000000 last 140,80");
    EXPECT_EQ(lines[3], "text 'AB' at 90,20 Liberation Sans 20px #000000 last 100,20");
}

TEST(PlayerText, CodePagesEscapementAndCurrentPosition)
{
    Emf e(192, 192);
    // 8-bit text in an East European font is code page 1250: "čř".
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -16, 900, 238, u"Times New Roman")).Add(EMR_SELECTOBJECT, {1});
    e.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE | TA_UPDATECP}).Add(EMR_MOVETOEX, {100, 150});
    Bytes ansi = TextPayload(0, 0, u"", 0);
    StoreInt32(ansi.data() + 36, 2);
    ansi.insert(ansi.end(), {0xE8, 0xF8, 0, 0});
    StoreInt32(ansi.data() + 64, static_cast<std::int32_t>(ansi.size() + 8));
    for (const std::int32_t d : {10, 12})
        for (int b = 0; b < 4; ++b)
            ansi.push_back(static_cast<std::uint8_t>(d >> (8 * b)));
    e.Add(EMR_EXTTEXTOUTA, ansi);
    // The current position moved up the page by the advances (escapement 90°).
    e.Add(EMR_EXTTEXTOUTW, TextPayload(0, 0, u"x", 0, {5}));
    const auto lines = Trace(e.Finish(), {192, 192});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "text 'čř' at 100,150 Liberation Serif 16px #000000 angle -90 last 100,140");
    EXPECT_EQ(lines[2], "text 'x' at 100,128 Liberation Serif 16px #000000 angle -90");
}

TEST(PlayerText, EscapementTurnsWithAMappingThatPointsYUp)
{
    // Charts with y pointing up write their vertical axis titles with an
    // escapement of 270°: in that mapping they read upwards, as in MM_TEXT 90° does.
    Emf e(192, 192);
    e.Add(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Add(EMR_SETWINDOWEXTEX, {192, -192}).Add(EMR_SETWINDOWORGEX, {0, 192});
    e.Add(EMR_SETVIEWPORTEXTEX, {192, 192});
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -16, 2700, 1, u"Arial")).Add(EMR_SELECTOBJECT, {1});
    e.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE});
    e.Add(EMR_EXTTEXTOUTW, TextPayload(20, 50, u"ab", 0, {10, 10}));
    const auto lines = Trace(e.Finish(), {192, 192});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "text 'ab' at 20,142 Liberation Sans 16px #000000 angle 270 last 20,132");
}

TEST(PlayerText, OpaqueClippedAndGlyphIndexText)
{
    Emf e(192, 96);
    e.Add(EMR_SETBKCOLOR, {static_cast<std::int32_t>(kGreen)}).Add(EMR_SETBKMODE, {TRANSPARENT});
    e.Add(EMR_EXTTEXTOUTW, TextPayload(0, 0, u"", ETO_OPAQUE, {}, {10, 10, 30, 30}));
    e.Add(EMR_EXTTEXTOUTW, TextPayload(50, 10, u"WWWWWWWW", ETO_CLIPPED, {}, {50, 10, 60, 40}));
    e.Add(EMR_EXTTEXTOUTW, TextPayload(0, 50, u"\x0024\x0025", ETO_GLYPH_INDEX));
    const Played p = Play(e.Finish(), {192, 96});
    EXPECT_EQ(p.At(20, 20), kGreenRgb);
    bool inkOutsideClip = false, inkInsideClip = false;
    for (int y = 10; y < 40; ++y)
        for (int x = 50; x < 120; ++x)
            (x < 60 ? inkInsideClip : inkOutsideClip) |= qGray(p.Image.pixel(x, y)) < 128;
    EXPECT_TRUE(inkInsideClip);
    EXPECT_FALSE(inkOutsideClip);
    ASSERT_EQ(p.Problems.size(), 1u) << "glyph indexes are not drawn, and said so";
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(p.At(x, 45), kWhite);
}

// A 2 × 2 24-bit bottom-up DIB: bottom row red, green; top row blue, white.
Bytes StretchDiBits(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::uint32_t rop = SRCCOPY)
{
    const std::int32_t header[] = {40, 2, 2, 1 | (24 << 16), 0, 16, 0, 0, 0, 0};
    const std::uint8_t bits[] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    std::vector<std::int32_t> words = {0, 0, -1, -1, x, y, 0, 0, 2, 2, 80, 40, 120, 16, 0, static_cast<std::int32_t>(rop), cx, cy};
    Bytes payload;
    for (const std::int32_t w : words)
        for (int b = 0; b < 4; ++b)
            payload.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
    for (const std::int32_t w : header)
        for (int b = 0; b < 4; ++b)
            payload.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
    payload.insert(payload.end(), std::begin(bits), std::end(bits));
    return payload;
}

TEST(PlayerBitmaps, StretchedMirroredAndPatternBlits)
{
    Emf e;
    e.Add(EMR_STRETCHDIBITS, StretchDiBits(0, 0, 40, 40));
    e.Add(EMR_STRETCHDIBITS, StretchDiBits(99, 0, -40, 40));  // mirrored left to right
    SolidBrush(e, 1, kGreen);
    e.Add(EMR_BITBLT, {0, 0, -1, -1, 0, 60, 20, 20, static_cast<std::int32_t>(PATCOPY), 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0});
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(10, 10), kBlueRgb) << "top left is the top row's first pixel";
    EXPECT_EQ(p.At(30, 10), kWhite);
    EXPECT_EQ(p.At(10, 30), kRedRgb);
    EXPECT_EQ(p.At(30, 30), kGreenRgb);
    EXPECT_EQ(p.At(90, 30), kRedRgb) << "mirrored";
    EXPECT_EQ(p.At(70, 30), kGreenRgb);
    EXPECT_EQ(p.At(10, 70), kGreenRgb) << "a blit without a bitmap fills with the brush";
    EXPECT_TRUE(p.Problems.empty());
}

// A bottom-up DIB given by its pixels top row first: its BITMAPINFO and bits.
struct TDib {
    Bytes Info, Bits;
};

// 32-bit pixels as 0xAARRGGBB.
TDib Dib32(std::int32_t width, const std::vector<std::uint32_t>& pixels)
{
    const auto height = static_cast<std::int32_t>(pixels.size()) / width;
    TDib dib;
    PutWords(dib.Info, {40, width, height, 1 | (32 << 16), 0, 0, 0, 0, 0, 0});
    for (std::int32_t row = height - 1; row >= 0; --row)
        for (std::int32_t x = 0; x < width; ++x)
            PutWords(dib.Bits, {static_cast<std::int32_t>(pixels[static_cast<std::size_t>(row * width + x)])});
    return dib;
}

// 1-bit pixels, true for white (the table is black, white).
TDib Dib1(std::int32_t width, const std::vector<bool>& pixels)
{
    const auto height = static_cast<std::int32_t>(pixels.size()) / width;
    TDib dib;
    PutWords(dib.Info, {40, width, height, 1 | (1 << 16), 0, 0, 0, 0, 2, 0, 0, 0xFFFFFF});
    for (std::int32_t row = height - 1; row >= 0; --row) {
        std::uint32_t bits = 0;
        for (std::int32_t x = 0; x < width; ++x)
            if (pixels[static_cast<std::size_t>(row * width + x)])
                bits |= 0x80u >> x;
        PutWords(dib.Bits, {static_cast<std::int32_t>(bits)});
    }
    return dib;
}

// EMR_STRETCHDIBITS of dib onto x, y, cx, cy.
Bytes StretchDib(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, const TDib& dib, std::uint32_t rop)
{
    const std::int32_t width = LoadInt32(dib.Info.data() + 4), height = LoadInt32(dib.Info.data() + 8);
    const auto infoSize = static_cast<std::int32_t>(dib.Info.size()), bitsSize = static_cast<std::int32_t>(dib.Bits.size());
    Bytes payload;
    PutWords(payload, {0, 0, -1, -1, x, y, 0, 0, width, height, 80, infoSize, 80 + infoSize, bitsSize, 0,
                       static_cast<std::int32_t>(rop), cx, cy});
    payload.insert(payload.end(), dib.Info.begin(), dib.Info.end());
    payload.insert(payload.end(), dib.Bits.begin(), dib.Bits.end());
    return payload;
}

// EMR_ALPHABLEND (the blend function in place of the operation) or EMR_MASKBLT
// (with its mask) of dib onto x, y, cx, cy.
Bytes Blit(std::uint32_t type, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, const TDib& dib,
           std::uint32_t rop, const TDib* mask = nullptr)
{
    const std::int32_t width = LoadInt32(dib.Info.data() + 4), height = LoadInt32(dib.Info.data() + 8);
    const auto infoSize = static_cast<std::int32_t>(dib.Info.size()), bitsSize = static_cast<std::int32_t>(dib.Bits.size());
    const std::int32_t fixed = type == EMR_MASKBLT ? 128 : 108;
    Bytes payload;
    PutWords(payload, {0, 0, -1, -1, x, y, cx, cy, static_cast<std::int32_t>(rop), 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0,
                       0, 0, fixed, infoSize, fixed + infoSize, bitsSize});
    if (type == EMR_MASKBLT) {
        const auto maskInfo = static_cast<std::int32_t>(mask->Info.size());
        const std::int32_t at = fixed + infoSize + bitsSize;
        PutWords(payload, {0, 0, 0, at, maskInfo, at + maskInfo, static_cast<std::int32_t>(mask->Bits.size())});
    } else {
        PutWords(payload, {width, height});
    }
    for (const TDib* part : {&dib, mask})
        if (part) {
            payload.insert(payload.end(), part->Info.begin(), part->Info.end());
            payload.insert(payload.end(), part->Bits.begin(), part->Bits.end());
        }
    return payload;
}

TEST(PlayerBitmaps, PerPixelAlphaBlendsAsPremultipliedColour)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 192, 192});
    // Half-covering blue, nothing, and a pixel whose colour exceeds its alpha
    // (not premultiplied): held at its alpha, it leaves the red as it is.
    const TDib dib = Dib32(3, {0x80000080, 0x00000000, 0x00FFFFFF});
    e.Add(EMR_ALPHABLEND, Blit(EMR_ALPHABLEND, 0, 0, 30, 10, dib, 0x01FF0000));
    // The same with a constant alpha of a half on top.
    e.Add(EMR_ALPHABLEND, Blit(EMR_ALPHABLEND, 0, 20, 30, 10, dib, 0x01800000));
    // Without per-pixel alpha the constant alone counts.
    e.Add(EMR_ALPHABLEND, Blit(EMR_ALPHABLEND, 0, 40, 30, 10, Dib32(1, {0x000000FF}), 0x00800000));
    // StretchDIBits ignores the fourth byte: a zero there is still opaque.
    e.Add(EMR_STRETCHDIBITS, StretchDib(0, 60, 10, 10, Dib32(1, {0x0000FF00}), SRCCOPY));
    const Played p = Play(e.Finish());
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2;
    };
    EXPECT_TRUE(near(p.At(5, 5), qRgb(127, 0, 128))) << std::hex << p.At(5, 5);
    EXPECT_EQ(p.At(15, 5), kRedRgb);
    EXPECT_EQ(p.At(25, 5), kRedRgb);
    EXPECT_TRUE(near(p.At(5, 25), qRgb(191, 0, 64))) << std::hex << p.At(5, 25);
    EXPECT_EQ(p.At(25, 25), kRedRgb);
    EXPECT_TRUE(near(p.At(5, 45), qRgb(127, 0, 128))) << std::hex << p.At(5, 45);
    EXPECT_EQ(p.At(5, 65), kGreenRgb);
}

TEST(PlayerBitmaps, MaskAndImagePairsAreOneSeeThroughPicture)
{
    // A 2 × 2 icon: the mask black where it is opaque, the image black elsewhere.
    const TDib mask = Dib1(2, {false, true, true, false});
    const TDib image = Dib32(2, {0x000000FF, 0, 0, 0x0000FF00});
    for (const std::uint32_t paint : {SRCPAINT, SRCINVERT}) {
        Emf e;
        SolidBrush(e, 1, kRed);
        e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 192, 192});
        e.Add(EMR_STRETCHDIBITS, StretchDib(0, 0, 20, 20, mask, SRCAND));
        e.Add(EMR_STRETCHDIBITS, StretchDib(0, 0, 20, 20, image, paint));
        const Bytes bytes = e.Finish();
        const auto lines = Trace(bytes);
        ASSERT_EQ(lines.size(), 3u) << "clip, background, one picture";
        EXPECT_EQ(lines[2].rfind("image 2x2", 0), 0u) << lines[2];
        EXPECT_EQ(lines[2].find(" mode "), std::string::npos) << "drawn over, no raster operation: " << lines[2];
        const Played p = Play(bytes);
        EXPECT_EQ(p.At(5, 5), kBlueRgb);
        EXPECT_EQ(p.At(15, 5), kRedRgb) << "see-through";
        EXPECT_EQ(p.At(5, 15), kRedRgb);
        EXPECT_EQ(p.At(15, 15), kGreenRgb);
    }

    // A grey mask needs the destination's colour: the pair is drawn as its operations.
    {
        Emf e;
        e.Add(EMR_STRETCHDIBITS, StretchDib(0, 0, 20, 20, Dib32(2, {0x808080, 0, 0xFFFFFF, 0}), SRCAND));
        e.Add(EMR_STRETCHDIBITS, StretchDib(0, 0, 20, 20, image, SRCPAINT));
        const auto lines = Trace(e.Finish());
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_NE(lines[1].find(" mode "), std::string::npos) << lines[1];
        EXPECT_NE(lines[2].find(" mode "), std::string::npos) << lines[2];
    }

    // A mask alone is drawn with its operation, before what follows it.
    Emf e;
    e.Add(EMR_STRETCHDIBITS, StretchDib(0, 0, 20, 20, mask, SRCAND));
    SolidBrush(e, 1, kRed);
    e.Add(EMR_RECTANGLE, {40, 40, 60, 60});
    const auto lines = Trace(e.Finish());
    ASSERT_EQ(lines.size(), 4u) << "clip, mask, the rectangle's fill and frame";
    EXPECT_EQ(lines[1].rfind("image 2x2", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("fill", 0), 0u) << lines[2];
}

TEST(PlayerBitmaps, MaskBltCopiesTheSourceWhereTheMaskIsLight)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 192, 192});
    const TDib source = Dib32(2, {0x000000FF, 0x000000FF, 0x0000FF00, 0x0000FF00});
    const TDib mask = Dib1(2, {true, false, false, true});
    constexpr std::uint32_t kDestination = 0x00AA0029;
    e.Add(EMR_MASKBLT, Blit(EMR_MASKBLT, 0, 0, 2, 2, source, ((kDestination << 8) & 0xFF000000) | SRCCOPY, &mask));
    const Played p = Play(e.Finish());
    EXPECT_EQ(p.At(0, 0), kBlueRgb);
    EXPECT_EQ(p.At(1, 0), kRedRgb);
    EXPECT_EQ(p.At(0, 1), kRedRgb);
    EXPECT_EQ(p.At(1, 1), kGreenRgb);
    EXPECT_TRUE(p.Problems.empty());

    // A rectangle far larger than the bitmap masks only the pixels the bitmap
    // holds: nothing the size of the rectangle is made.
    Emf large;
    large.Add(EMR_MASKBLT, Blit(EMR_MASKBLT, 0, 0, 1 << 30, 1 << 30, source, ((kDestination << 8) & 0xFF000000) | SRCCOPY, &mask));
    const Played huge = Play(large.Finish());
    EXPECT_EQ(huge.At(0, 0), kBlueRgb);
    EXPECT_EQ(huge.At(1, 0), kWhite);
}

TEST(PlayerText, SymbolFontsDrawTheSignsTheirCodesShow)
{
    Emf e(192, 96);
    e.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE});
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -20, 0, SYMBOL_CHARSET, u"Wingdings")).Add(EMR_SELECTOBJECT, {1});
    // Codes in the private-use form and plain: a check mark, a black circle.
    e.Add(EMR_EXTTEXTOUTW, TextPayload(10, 30, u"\xF0FC\x006C", 0, {20, 20}));
    // A sign outside the basic plane keeps one place for its two units.
    e.Add(EMR_EXTTEXTOUTW, TextPayload(10, 60, u"\x00FE", 0, {20}));
    // Eight-bit Symbol text: the bytes are codes, not code page 1252 (0xB7 is the bullet there).
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(2, -20, 0, SYMBOL_CHARSET, u"Symbol")).Add(EMR_SELECTOBJECT, {2});
    Bytes ansi = TextPayload(100, 30, u"", 0);
    StoreInt32(ansi.data() + 36, 2);
    ansi.insert(ansi.end(), {'a', 0xB7, 0, 0});
    e.Add(EMR_EXTTEXTOUTA, ansi);
    const auto lines = Trace(e.Finish(), {192, 96});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].rfind("text '\u2713\u26AB' at 10,30 ", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find("last 30,30"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("text '\U0001F5F9' at 10,60 ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("text '\u03B1\u2022' at 100,30 ", 0), 0u) << lines[3];
}

TEST(PlayerPaths, TextInAPathBecomesItsOutlines)
{
    Emf e(192, 96);
    e.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -60, 0, 1, u"Arial")).Add(EMR_SELECTOBJECT, {1});
    e.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE});
    Pen(e, 2, PS_SOLID, 1, 0);
    e.Add(EMR_BEGINPATH, {}).Add(EMR_EXTTEXTOUTW, TextPayload(10, 70, u"O", 0, {50})).Add(EMR_ENDPATH, {});
    e.Add(EMR_STROKEPATH, {0, 0, 0, 0});
    // Glyph numbers of a font we do not have add no outlines, as they draw nothing.
    e.Add(EMR_BEGINPATH, {}).Add(EMR_EXTTEXTOUTW, TextPayload(100, 70, u"\x0024", ETO_GLYPH_INDEX, {50}));
    e.Add(EMR_ENDPATH, {}).Add(EMR_STROKEPATH, {0, 0, 0, 0});
    const Bytes bytes = e.Finish();
    const auto lines = Trace(bytes, {192, 96});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].rfind("stroke", 0), 0u) << "no text is drawn, its outline is stroked: " << lines[1];
    EXPECT_EQ(lines[2].rfind("stroke 0,0 0x0", 0), 0u) << "an empty path: " << lines[2];
    // The ring's edges are inked, its inside and the letter's middle are not.
    const Played p = Play(bytes, {192, 96});
    int ink = 0;
    for (int x = 10; x < 60; ++x)
        ink += qGray(p.Image.pixel(x, 50)) < 128 ? 1 : 0;
    EXPECT_GE(ink, 4) << "both sides of both outlines of the O";
    EXPECT_LE(ink, 10);
    EXPECT_EQ(p.At(30, 50), kWhite);

    // Filled, the letter is solid between its outlines.
    Emf filled(192, 96);
    filled.Add(EMR_EXTCREATEFONTINDIRECTW, FontPayload(1, -60, 0, 1, u"Arial")).Add(EMR_SELECTOBJECT, {1});
    filled.Add(EMR_SETBKMODE, {TRANSPARENT}).Add(EMR_SETTEXTALIGN, {TA_BASELINE});
    SolidBrush(filled, 2, kBlue);
    filled.Add(EMR_BEGINPATH, {}).Add(EMR_EXTTEXTOUTW, TextPayload(10, 70, u"I", 0, {50})).Add(EMR_ENDPATH, {});
    filled.Add(EMR_FILLPATH, {0, 0, 0, 0});
    const Played solid = Play(filled.Finish(), {192, 96});
    int blue = 0;
    for (int x = 10; x < 40; ++x)
        blue += solid.At(x, 50) == kBlueRgb ? 1 : 0;
    EXPECT_GE(blue, 4);
}

TEST(PlayerGradients, RectanglesBlendFromEdgeToEdge)
{
    Emf e;
    // Two vertices, red at the left and blue at the right, and one rectangle between them.
    e.Add(EMR_GRADIENTFILL, {0, 0, -1, -1, 2, 1, 0, 0, 0, 0xFF00, 0, 100, 100, 0, 0xFF00, 0, 1});
    const Played p = Play(e.Finish());
    EXPECT_GT(qRed(p.Image.pixel(2, 50)), 240);
    EXPECT_GT(qBlue(p.Image.pixel(97, 50)), 240);
    EXPECT_NEAR(qRed(p.Image.pixel(50, 50)), 128, 10);
}

TEST(PlayerRobustness, DamagedRecordsAreReportedNeverFatal)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_POLYGON16, {0, 0, 0, 0, 1000000});                 // a count the record cannot hold
    e.Add(EMR_POLYPOLYGON, {0, 0, 0, 0, 0x7FFFFFFF, 3});           // polygon counts past the end
    e.Add(EMR_EXTTEXTOUTW, TextPayload(0, 0, u"a", 0));
    e.Add(EMR_EXTSELECTCLIPRGN, {1000, RGN_AND});                  // region bigger than the record
    e.Add(EMR_STRETCHDIBITS, {0, 0, -1, -1, 0, 0, 0, 0, 1, 1, 80, 0x7FFFFFF0, 80, 16, 0});
    e.Add(EMR_SELECTOBJECT, {kNullPen});
    for (int i = 0; i < 5000; ++i)
        e.Add(EMR_SAVEDC, {});
    e.Add(EMR_RECTANGLE, {0, 0, 50, 50});
    e.Add(EMR_SETMAPMODE, {MM_ANISOTROPIC}).Add(EMR_SETWINDOWEXTEX, {0, 0}).Add(EMR_SCALEVIEWPORTEXTEX, {1, 0, 1, 0});
    e.Add(EMR_RECTANGLE, {50, 50, 100, 100});
    Bytes bytes = e.Finish();
    // The text record's string offset points far outside it.
    const auto played = Play(bytes);
    EXPECT_EQ(played.At(10, 10), kRedRgb) << "drawing goes on after bad records";
    EXPECT_EQ(played.At(70, 70), kRedRgb);
    EXPECT_GE(played.Problems.size(), 5u);
}

TEST(PlayerRobustness, ABrokenRecordChainStopsPlayback)
{
    Emf e;
    SolidBrush(e, 1, kRed);
    e.Add(EMR_SELECTOBJECT, {kNullPen}).Add(EMR_RECTANGLE, {0, 0, 50, 50});
    e.Add(EMR_RECTANGLE, {50, 50, 100, 100});
    Bytes bytes = e.Finish();
    // Give the last rectangle a size of 0, past the container's checks.
    std::size_t offset = 0, last = 0;
    while (offset < bytes.size()) {
        if (LoadUInt32(bytes.data() + offset) == EMR_RECTANGLE)
            last = offset;
        offset += LoadUInt32(bytes.data() + offset + 4);
    }
    StoreUInt32(bytes.data() + last + 4, 0);
    TTraceDevice device;
    std::vector<TPlaybackProblem> problems;
    PlayEmf(bytes, device, QRectF(0, 0, 100, 100), [&](const TPlaybackProblem& p) { problems.push_back(p); });
    EXPECT_EQ(device.Lines().size(), 2u) << "the first rectangle still draws";
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Offset, last);
    PlayEmf(Bytes(10, 0), device, QRectF(0, 0, 10, 10), [&](const TPlaybackProblem& p) { problems.push_back(p); });
    EXPECT_EQ(problems.size(), 2u) << "no header";
}

}  // namespace
}  // namespace qrp::emf
