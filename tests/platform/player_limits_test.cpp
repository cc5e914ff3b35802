// Pages whose records ask for far more work or memory than any real page, one
// family at a time: each is built here and must play to a bounded end,
// drawing what it can and naming the record where the drawing budget stops it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <QImage>
#include <QPainter>

#include "platform/emf/emf_records.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/painter_device.h"
#include "platform/emf/player/trace_device.h"

namespace qrp::emf {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kNullPen = static_cast<std::int32_t>(NULL_PEN);
constexpr std::int32_t kBlackBrush = static_cast<std::int32_t>(BLACK_BRUSH);
constexpr int kA4Width = 794, kA4Height = 1123;  // pixels at 96 dpi

void Append(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::int32_t FloatBits(float value)
{
    std::int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A page under construction that knows the index each record gets.
class TPage {
public:
    TPage(int width, int height) : Writer(width, height) {}
    std::size_t Add(std::uint32_t type, std::initializer_list<std::int32_t> values)
    {
        Writer.AddRecord(type, values);
        return ++Last;
    }
    std::size_t Add(std::uint32_t type, const Bytes& payload)
    {
        Writer.AddRecord(type, payload);
        return ++Last;
    }
    Bytes Finish() { return Writer.Finish(); }

private:
    TEmfWriter Writer;
    std::size_t Last = 0;  // the header is record 0
};

struct TTraced {
    std::vector<std::string> Lines;
    std::vector<TPlaybackProblem> Problems;
    TPageWork Work;
    std::size_t Count(const std::string& prefix) const
    {
        return static_cast<std::size_t>(std::count_if(Lines.begin(), Lines.end(),
                                                      [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
};

TTraced Trace(const Bytes& bytes, QSizeF target)
{
    TTraced traced;
    TTraceDevice device;
    traced.Work = PlayEmf(bytes, device, QRectF(QPointF(0, 0), target),
                          [&](const TPlaybackProblem& p) { traced.Problems.push_back(p); });
    traced.Lines = device.Lines();
    return traced;
}

QImage Paint(const Bytes& bytes, QSize size, std::vector<TPlaybackProblem>& problems)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PlayMetafile(painter, TMetafile(bytes), QRectF(QPointF(0, 0), QSizeF(size)),
                 [&](const TPlaybackProblem& p) { problems.push_back(p); });
    return image;
}

// The bounding box of a trace line "clip X,Y WxH in N rects".
QRectF ClipBounds(const std::string& line)
{
    double x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(std::sscanf(line.c_str(), "clip %lf,%lf %lfx%lf", &x, &y, &w, &h), 4) << line;
    return QRectF(x, y, w, h);
}

void ExpectStoppedAt(const TTraced& traced, std::size_t record, std::uint32_t type, const std::string& measure)
{
    ASSERT_EQ(traced.Problems.size(), 1u);
    const TPlaybackProblem& stop = traced.Problems[0];
    EXPECT_EQ(stop.RecordIndex, record);
    EXPECT_EQ(stop.RecordType, type);
    EXPECT_NE(stop.What.find(measure), std::string::npos) << stop.What;
}

TEST(PlayerLimits, ClipsOfHugeGeometryAreCutToThePage)
{
    // A clip path around an ellipse 2^31 pixels wide, and a clip rectangle
    // turned by 30 degrees and scaled a thousand times: both hold the page.
    constexpr std::int32_t kHuge = 1 << 30;
    TPage ellipse(192, 192);
    ellipse.Add(EMR_BEGINPATH, {});
    ellipse.Add(EMR_ELLIPSE, {-kHuge, -kHuge, kHuge, kHuge});
    ellipse.Add(EMR_ENDPATH, {});
    ellipse.Add(EMR_SELECTCLIPPATH, {RGN_COPY});
    TPage rotated(192, 192);
    const float c = 1000 * std::cos(0.5236f), s = 1000 * std::sin(0.5236f);
    rotated.Add(EMR_SETWORLDTRANSFORM, {FloatBits(c), FloatBits(s), FloatBits(-s), FloatBits(c), 0, 0});
    rotated.Add(EMR_INTERSECTCLIPRECT, {-1000000, -1000000, 1000000, 1000000});
    rotated.Add(EMR_SETWORLDTRANSFORM, {FloatBits(1), 0, 0, FloatBits(1), 0, 0});
    for (TPage* page : {&ellipse, &rotated}) {
        page->Add(EMR_SELECTOBJECT, {kNullPen});
        page->Add(EMR_SELECTOBJECT, {kBlackBrush});
        page->Add(EMR_RECTANGLE, {10, 10, 60, 60});
        const Bytes bytes = page->Finish();
        std::vector<TPlaybackProblem> problems;
        const QImage image = Paint(bytes, {192, 192}, problems);
        EXPECT_EQ(image.pixel(30, 30) & 0xFFFFFF, 0u) << "drawn inside the clip";
        EXPECT_TRUE(problems.empty());
        // Seen at 1200 dpi, as PDF pages are drawn, the region stays within
        // the page widened by half its size on each side.
        const QSizeF pdfPage(2400, 2400);
        const TTraced traced = Trace(bytes, pdfPage);
        ASSERT_EQ(traced.Count("clip "), 2u);
        const QRectF bounds = ClipBounds(traced.Lines[1]);
        EXPECT_TRUE(QRectF(-1200, -1200, 4800, 4800).contains(bounds)) << traced.Lines[1];
        EXPECT_TRUE(bounds.contains(QRectF(QPointF(0, 0), pdfPage))) << traced.Lines[1];
    }
}

TEST(PlayerLimits, SavedStatesShareAPaletteUntilItChanges)
{
    TPage page(192, 192);
    constexpr std::uint32_t kEntries = 65535, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
    Bytes palette;
    Append(palette, 1);
    Append(palette, 0x300 | (kEntries << 16));
    for (std::uint32_t i = 0; i < kEntries; ++i)
        Append(palette, kRed);
    page.Add(EMR_CREATEPALETTE, palette);
    page.Add(EMR_SELECTPALETTE, {1});
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    for (int i = 0; i < 4096; ++i)
        page.Add(EMR_SAVEDC, {});
    // Brushes take the palette colour the device context has when they are made.
    std::int32_t brush = 2;
    const auto fill = [&](std::int32_t entry, std::int32_t left) {
        page.Add(EMR_CREATEBRUSHINDIRECT, {brush, BS_SOLID, 0x01000000 | entry, 0});
        page.Add(EMR_SELECTOBJECT, {brush++});
        page.Add(EMR_RECTANGLE, {left, 0, left + 20, 20});
    };
    page.Add(EMR_SETPALETTEENTRIES, {1, 5, 1, static_cast<std::int32_t>(kGreen)});
    fill(5, 0);  // the device context and its 4096 saved states keep the entries they had: red
    page.Add(EMR_SELECTPALETTE, {1});
    fill(5, 20);  // green
    page.Add(EMR_RESTOREDC, {1});
    fill(5, 40);  // red again
    // Entries past the palette's end are not set, and said so.
    page.Add(EMR_SETPALETTEENTRIES, {1, 65533, 3, static_cast<std::int32_t>(kBlue), static_cast<std::int32_t>(kBlue),
                                     static_cast<std::int32_t>(kBlue)});
    page.Add(EMR_SELECTPALETTE, {1});
    fill(65534, 60);  // blue
    std::vector<TPlaybackProblem> problems;
    const QImage image = Paint(page.Finish(), {192, 192}, problems);
    EXPECT_EQ(image.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(30, 10) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(image.pixel(50, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(70, 10) & 0xFFFFFF, 0x0000FFu);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].RecordType, EMR_SETPALETTEENTRIES);
}

// Keeps the texture of every brush it is asked to fill with.
class TBrushTextures : public TEmfDevice {
public:
    void SetClip(const std::optional<QRegion>&) override {}
    void FillPath(const QPainterPath&, const QBrush& brush, QPainter::CompositionMode) override
    {
        Textures.push_back(brush.textureImage().cacheKey());
    }
    void StrokePath(const QPainterPath&, const QPen&, QPainter::CompositionMode) override {}
    void DrawText(const TTextRun&) override {}
    void DrawImage(const QImage&, const QRectF&, const QTransform&, QPainter::CompositionMode, bool) override {}

    std::vector<qint64> Textures;
};

// EMR_CREATEMONOBRUSH of a side x side 1-bit bitmap of black and white stripes, as object 1.
Bytes StripedMonoBrush(std::uint32_t side)
{
    const std::uint32_t rowBytes = (side + 31) / 32 * 4;
    Bytes brush;
    for (const std::uint32_t v : {1u, 0u, 32u, 48u, 80u, rowBytes * side})
        Append(brush, v);
    for (const std::uint32_t v : {40u, side, side, 1u | (1u << 16), 0u, rowBytes * side, 0u, 0u, 2u, 0u, 0x000000u,
                                  0xFFFFFFu})
        Append(brush, v);
    brush.resize(brush.size() + rowBytes * side, 0xAA);
    return brush;
}

TEST(PlayerLimits, AMonochromePatternIsColouredOnceForAllItsFills)
{
    TPage page(192, 192);
    page.Add(EMR_CREATEMONOBRUSH, StripedMonoBrush(8));
    page.Add(EMR_SELECTOBJECT, {1});
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    for (int i = 0; i < 40; ++i) {
        if (i == 20)
            page.Add(EMR_SETTEXTCOLOR, {0x0000FF});
        page.Add(EMR_RECTANGLE, {i, i, i + 50, i + 50});
    }
    TBrushTextures device;
    PlayEmf(page.Finish(), device, QRectF(0, 0, 192, 192));
    ASSERT_EQ(device.Textures.size(), 40u);
    for (std::size_t i = 1; i < 40; ++i)
        EXPECT_EQ(device.Textures[i], device.Textures[i < 20 ? 0 : 20]) << "fill " << i;
    EXPECT_NE(device.Textures[0], device.Textures[20]) << "new colours, a new pattern";
}

TEST(PlayerLimits, ColouringAHugePatternAnewForEveryFillStopsWhereTheBitmapPixelsAreSpent)
{
    TPage page(kA4Width, kA4Height);
    page.Add(EMR_CREATEMONOBRUSH, StripedMonoBrush(2048));
    page.Add(EMR_SELECTOBJECT, {1});
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    // Four million pixels decoded once, then coloured anew for each fill:
    // fifteen colourings fit in the budget beside the decoding.
    std::vector<std::size_t> fills;
    for (int i = 0; i < 40; ++i) {
        page.Add(EMR_SETTEXTCOLOR, {i % 2 == 0 ? 0x0000FF : 0x00FF00});
        fills.push_back(page.Add(EMR_RECTANGLE, {0, 0, 20, 20}));
    }
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    EXPECT_EQ(traced.Count("fill 0,0 19x19 pattern 2048x2048"), 15u);
    ExpectStoppedAt(traced, fills[15], EMR_RECTANGLE, "decoded bitmap pixels");
}

// EMR_EXTSELECTCLIPRGN of rectangles given as left, top, right, bottom (exclusive).
Bytes ClipRegion(const std::vector<std::array<int, 4>>& rects, std::uint32_t mode)
{
    const auto count = static_cast<std::uint32_t>(rects.size());
    Bytes payload;
    for (const std::uint32_t v : {32 + 16 * count, mode, 32u, 1u, count, 16 * count, 0u, 0u, 0u, 0u})
        Append(payload, v);
    for (const auto& rect : rects)
        for (const int v : rect)
            Append(payload, static_cast<std::uint32_t>(v));
    return payload;
}

TEST(PlayerLimits, AClipOfManyRectanglesIsBuiltAndSetOnce)
{
    TPage page(kA4Width, kA4Height);
    // 2000 separate 3 x 3 squares in a scattered order, selected once, then
    // kept through a thousand saves and restores between fills.
    constexpr int kSquares = 2000;
    std::vector<std::array<int, 4>> squares;
    for (int i = 0; i < kSquares; ++i) {
        const int cell = (i * 7919) % kSquares;
        const int x = (cell % 100) * 7 + 10, y = (cell / 100) * 9 + 10;
        squares.push_back({x, y, x + 3, y + 3});
    }
    page.Add(EMR_EXTSELECTCLIPRGN, ClipRegion(squares, RGN_COPY));
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    for (int i = 0; i < 1000; ++i) {
        page.Add(EMR_SAVEDC, {});
        page.Add(EMR_RESTOREDC, {-1});
        page.Add(EMR_RECTANGLE, {i % 700, i % 1000, i % 700 + 90, i % 1000 + 90});
    }
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    EXPECT_EQ(traced.Count("fill "), 1000u);
    ASSERT_EQ(traced.Count("clip "), 2u);
    EXPECT_EQ(traced.Lines[0], "clip none");
    EXPECT_EQ(traced.Lines[1], "clip 10,10 696x174 in 2000 rects");
    EXPECT_TRUE(traced.Problems.empty());
}

TEST(PlayerLimits, ClipRegionsThatWouldMultiplyTheirRectanglesStopThePage)
{
    // 2000 rows crossed with 2000 columns would make four million squares.
    TPage page(4000, 4000);
    std::vector<std::array<int, 4>> rows, columns;
    for (int i = 0; i < 2000; ++i) {
        rows.push_back({0, 2 * i, 4000, 2 * i + 1});
        columns.push_back({2 * i, 0, 2 * i + 1, 4000});
    }
    page.Add(EMR_EXTSELECTCLIPRGN, ClipRegion(rows, RGN_COPY));
    const std::size_t crossing = page.Add(EMR_EXTSELECTCLIPRGN, ClipRegion(columns, RGN_AND));
    page.Add(EMR_RECTANGLE, {0, 0, 4000, 4000});
    const TTraced traced = Trace(page.Finish(), QSizeF(4000, 4000));
    EXPECT_EQ(traced.Count("fill "), 0u);
    ExpectStoppedAt(traced, crossing, EMR_EXTSELECTCLIPRGN, "clip region rectangles");
}

TEST(PlayerLimits, PageSizedFillsStopWhereThePaintedPixelsAreSpent)
{
    TPage page(kA4Width, kA4Height);
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    page.Add(EMR_SELECTOBJECT, {kBlackBrush});
    std::vector<std::size_t> fills;
    for (int i = 0; i < 2000; ++i)
        fills.push_back(page.Add(EMR_RECTANGLE, {-10, -10, kA4Width + 10, kA4Height + 10}));
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    const std::size_t drawn = traced.Count("fill ");
    ASSERT_GT(drawn, 0u);
    ASSERT_LT(drawn, fills.size());
    ExpectStoppedAt(traced, fills[drawn], EMR_RECTANGLE, "painted pixels");
    // Each fill costs the page's area and a little for its edges.
    const double area = static_cast<double>(kA4Width) * kA4Height;
    EXPECT_LE(static_cast<double>(drawn) * area, traced.Work.Limits.PaintedPixels);
    EXPECT_GT(static_cast<double>(drawn) * area, 0.9 * traced.Work.Limits.PaintedPixels);
}

TEST(PlayerLimits, WidenedCurvesStopWhereThePathSegmentsAreSpent)
{
    TPage page(kA4Width, kA4Height);
    page.Add(EMR_SELECTOBJECT, {kNullPen});
    page.Add(EMR_SELECTOBJECT, {kBlackBrush});
    page.Add(EMR_RECTANGLE, {10, 10, 60, 60});
    constexpr auto kWidePen = static_cast<std::int32_t>(PS_GEOMETRIC | PS_JOIN_ROUND);
    page.Add(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, kWidePen, 150, BS_SOLID, 0, 0, 0});
    page.Add(EMR_SELECTOBJECT, {1});
    // 25000 curves zigzagging across the page, widened, then stroked wide.
    constexpr std::uint32_t kPoints = 3 * 25000 + 1;
    Bytes curves;
    for (const std::uint32_t v : {0u, 0u, 0u, 0u, kPoints})
        Append(curves, v);
    for (std::uint32_t i = 0; i < kPoints; ++i)
        Append(curves, ((i * 61) % kA4Height) << 16 | ((i * 97) % kA4Width));
    page.Add(EMR_BEGINPATH, {});
    page.Add(EMR_POLYBEZIER16, curves);
    page.Add(EMR_ENDPATH, {});
    page.Add(EMR_WIDENPATH, {});
    const std::size_t stroke = page.Add(EMR_STROKEPATH, {0, 0, 0, 0});
    page.Add(EMR_RECTANGLE, {100, 100, 160, 160});
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    ASSERT_EQ(traced.Lines.size(), 2u) << "the rectangle drawn first stays, nothing after the stop is drawn";
    EXPECT_EQ(traced.Lines[1], "fill 10,10 49x49 #000000");
    ExpectStoppedAt(traced, stroke, EMR_STROKEPATH, "path segments");
}

TEST(PlayerLimits, LongTextsStopWhereTheGlyphsAreSpent)
{
    TPage page(kA4Width, kA4Height);
    Bytes font;
    Append(font, 1);
    Append(font, static_cast<std::uint32_t>(-12));  // 12 pixels high
    font.resize(32, 0);
    for (const char16_t c : std::u16string_view(u"Arial"))
        font.insert(font.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    font.resize(96, 0);
    page.Add(EMR_EXTCREATEFONTINDIRECTW, font);
    page.Add(EMR_SELECTOBJECT, {1});
    page.Add(EMR_SETBKMODE, {TRANSPARENT});
    // Ten lines of 16000 characters: 160000 glyphs, of which 100000 are allowed.
    constexpr std::uint32_t kLength = 16000;
    std::vector<std::size_t> texts;
    for (int line = 0; line < 10; ++line) {
        Bytes text;
        // Bounds, graphics mode, scales, reference point, length, string offset, options, rectangle, no dx.
        const auto y = static_cast<std::uint32_t>(20 * line + 20);
        for (const std::uint32_t v : {0u, 0u, 0u, 0u, 1u, 0u, 0u, 0u, y, kLength, 76u, 0u, 0u, 0u, 0u, 0u, 0u})
            Append(text, v);
        for (std::uint32_t i = 0; i < kLength / 2; ++i)
            Append(text, 'W' | ('W' << 16));
        texts.push_back(page.Add(EMR_EXTTEXTOUTW, text));
    }
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    EXPECT_EQ(traced.Count("text "), 6u);
    ExpectStoppedAt(traced, texts[6], EMR_EXTTEXTOUTW, "glyphs");
}

// Qt would cache an image of such glyphs; they are filled as outlines instead.
TEST(PlayerLimits, GlyphsLargerThanAnyCacheAreDrawnAsTheirOutlines)
{
    QFont font("Liberation Sans");
    font.setPixelSize(700);
    const QPointF origin(50, 650);
    QImage drawn(800, 800, QImage::Format_RGB32), expected(800, 800, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    expected.fill(Qt::white);
    {
        QPainter painter(&drawn);
        TPainterDevice device(painter);
        device.DrawText(TTextRun {"H", {origin}, font, Qt::black});
    }
    {
        QPainter painter(&expected);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(origin, "H");
    }
    int inked = 0, differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            inked += qGray(expected.pixel(x, y)) < 128;
            differing += std::abs(qGray(drawn.pixel(x, y)) - qGray(expected.pixel(x, y))) > 64;
        }
    }
    ASSERT_GT(inked, 50000) << "the letter covers much of the image";
    EXPECT_LT(differing, inked / 100) << "the outline gives the letter as text drawing does";

    // A character no font has, page-sized on a small image: the missing-glyph
    // box is drawn without an image of the whole glyph.
    font.setPixelSize(20000);
    QImage small(64, 64, QImage::Format_RGB32);
    small.fill(Qt::white);
    QPainter painter(&small);
    TPainterDevice device(painter);
    device.DrawText(TTextRun {QString(QChar(0x0700)), {QPointF(-100, 15000)}, font, Qt::black});
}

TEST(PlayerLimits, HugeBitmapsStopWhereTheDecodedPixelsAreSpent)
{
    TPage page(kA4Width, kA4Height);
    // 4000 x 4000 pixel bitmaps of a few bytes: run-length data that only ends the bitmap.
    std::vector<std::size_t> blits;
    for (int i = 0; i < 6; ++i) {
        Bytes blit;
        for (const std::int32_t v : {0, 0, -1, -1, 10 * i, 0, 0, 0, 4000, 4000, 80, 48, 128, 4, 0,
                                     static_cast<std::int32_t>(SRCCOPY), 50, 50})
            Append(blit, static_cast<std::uint32_t>(v));
        // An 8-bit BI_RLE8 header, two colours, and the code that ends the bitmap.
        for (const std::uint32_t v : {40u, 4000u, 4000u, 1u | (8u << 16), 1u, 4u, 0u, 0u, 2u, 0u, 0u, 0xFFFFFFu})
            Append(blit, v);
        Append(blit, 0x0100);
        blits.push_back(page.Add(EMR_STRETCHDIBITS, blit));
    }
    const TTraced traced = Trace(page.Finish(), QSizeF(kA4Width, kA4Height));
    EXPECT_EQ(traced.Count("image 4000x4000"), 4u);
    ExpectStoppedAt(traced, blits[4], EMR_STRETCHDIBITS, "decoded bitmap pixels");
}

}  // namespace
}  // namespace qrp::emf
