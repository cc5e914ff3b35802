#include <gtest/gtest.h>

#include <functional>

#include <QImage>
#include <QPainter>

#include "platform/canvas/bitmap.h"
#include "platform/canvas/metafile_canvas.h"
#include "platform/canvas/painter_canvas.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/exceptions.h"

namespace qrp {
namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr TColor kRedColor = RGB(255, 0, 0);
constexpr TColor kBlueColor = RGB(0, 0, 255);

using TScene = std::function<void(TCanvas&)>;

// What a scene draws on a white image of the given size through a painter canvas at 96 dpi.
QImage Painted(int width, int height, const TScene& scene)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        scene(canvas);
    }
    return image;
}

int CountPixels(const QImage& image, QRgb color, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == color;
    return count;
}

// The smallest rectangle holding every pixel that is not white; null when none.
QRect Ink(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhite)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(PainterCanvas, RectangleOutlinesItsPixelsAndFillsInside)
{
    const QImage thin = Painted(30, 30, [](TCanvas& c) {
        c.Brush.Color = kRedColor;
        c.Rectangle(2, 3, 12, 13);
    });
    EXPECT_EQ(Ink(thin), QRect(QPoint(2, 3), QPoint(11, 12)));
    for (const QPoint corner : {QPoint(2, 3), QPoint(11, 3), QPoint(2, 12), QPoint(11, 12)})
        EXPECT_EQ(thin.pixel(corner), kBlack) << corner.x() << "," << corner.y();
    EXPECT_EQ(CountPixels(thin, kBlack), 36) << "the outline is one pixel wide";
    EXPECT_EQ(CountPixels(thin, kRed), 64);

    // Without a pen the filled area is one pixel smaller to the right and bottom.
    const QImage clearPen = Painted(30, 30, [](TCanvas& c) {
        c.Pen.Style = psClear;
        c.Brush.Color = kRedColor;
        c.Rectangle(2, 3, 12, 13);
    });
    EXPECT_EQ(Ink(clearPen), QRect(QPoint(2, 3), QPoint(10, 11)));

    // A wide pen is centred on the outline; psInsideFrame keeps it inside.
    const QImage wide = Painted(30, 30, [](TCanvas& c) {
        c.Pen.Width = 3;
        c.Brush.Style = bsClear;
        c.Rectangle(5, 5, 15, 15);
    });
    EXPECT_EQ(Ink(wide), QRect(QPoint(4, 4), QPoint(15, 15)));
    EXPECT_EQ(wide.pixel(9, 4), kBlack);
    EXPECT_EQ(wide.pixel(9, 8), kWhite);
    const QImage inside = Painted(30, 30, [](TCanvas& c) {
        c.Pen.Width = 3;
        c.Pen.Style = psInsideFrame;
        c.Brush.Style = bsClear;
        c.Rectangle(5, 5, 15, 15);
    });
    EXPECT_EQ(Ink(inside), QRect(QPoint(5, 5), QPoint(14, 14)));
    EXPECT_EQ(inside.pixel(7, 9), kBlack);
    EXPECT_EQ(inside.pixel(8, 9), kWhite);
}

TEST(PainterCanvas, FillRectAndFrameRectUseTheBrushWithinTheRectangle)
{
    const QImage filled = Painted(30, 30, [](TCanvas& c) {
        c.Brush.Color = kBlueColor;
        c.FillRect({5, 6, 15, 11});
    });
    EXPECT_EQ(Ink(filled), QRect(QPoint(5, 6), QPoint(14, 10)));
    EXPECT_EQ(CountPixels(filled, kBlue), 50);

    const QImage framed = Painted(30, 30, [](TCanvas& c) {
        c.Brush.Color = kBlueColor;
        c.FrameRect({5, 6, 15, 11});
        c.FrameRect({20, 20, 22, 22});  // two by two: all border
    });
    EXPECT_EQ(CountPixels(framed, kBlue, QRect(5, 6, 10, 5)), 2 * 10 + 2 * 3);
    EXPECT_EQ(framed.pixel(14, 10), kBlue);
    EXPECT_EQ(framed.pixel(7, 8), kWhite);
    EXPECT_EQ(CountPixels(framed, kBlue, QRect(20, 20, 3, 3)), 4);
}

TEST(PainterCanvas, LinesLeaveOutTheirEndPoint)
{
    const QImage lines = Painted(30, 30, [](TCanvas& c) {
        c.MoveTo(2, 5);
        c.LineTo(12, 5);
        c.LineTo(12, 15);
    });
    EXPECT_EQ(CountPixels(lines, kBlack), 20);
    EXPECT_EQ(lines.pixel(2, 5), kBlack);
    EXPECT_EQ(lines.pixel(12, 5), kBlack) << "the start of the second line";
    EXPECT_EQ(lines.pixel(12, 14), kBlack);
    EXPECT_EQ(lines.pixel(12, 15), kWhite);
}

TEST(PainterCanvas, DashesAndHatchesShowTheBrushOrWhatLiesBeneath)
{
    const auto dotted = [](TBrushStyle brush) {
        return Painted(30, 10, [brush](TCanvas& c) {
            c.Pen.Style = psDot;
            c.Brush.Style = brush;
            c.Brush.Color = kRedColor;
            c.MoveTo(0, 5);
            c.LineTo(30, 5);
        });
    };
    const QImage onSolid = dotted(bsSolid);
    EXPECT_EQ(CountPixels(onSolid, kBlack) + CountPixels(onSolid, kRed), 30) << "gaps in the brush colour";
    EXPECT_EQ(CountPixels(onSolid, kBlack), 15);
    const QImage onClear = dotted(bsClear);
    EXPECT_EQ(CountPixels(onClear, kBlack), 15);
    EXPECT_EQ(CountPixels(onClear, kRed), 0);

    const QImage crossed = Painted(32, 32, [](TCanvas& c) {
        c.Brush.Style = bsCross;
        c.Brush.Color = kBlueColor;
        c.FillRect({0, 0, 32, 32});
    });
    EXPECT_GT(CountPixels(crossed, kBlue), 32 * 4);
    EXPECT_GT(CountPixels(crossed, kWhite), 32 * 16) << "between the lines nothing is drawn";
    EXPECT_EQ(CountPixels(crossed, kBlue) + CountPixels(crossed, kWhite), 32 * 32);
}

TEST(PainterCanvas, ClearPenAndBrushDrawNothing)
{
    const QImage image = Painted(40, 40, [](TCanvas& c) {
        c.Pen.Style = psClear;
        c.Brush.Style = bsClear;
        c.MoveTo(0, 0);
        c.LineTo(30, 30);
        c.Rectangle(2, 2, 20, 20);
        c.Ellipse(2, 2, 20, 20);
        c.FillRect({0, 0, 40, 40});
        c.FrameRect({0, 0, 40, 40});
        c.Pen.Style = psSolid;
        c.Rectangle(30, 30, 30, 38);  // empty
        c.FillRect({30, 30, 20, 38});
    });
    EXPECT_TRUE(Ink(image).isNull());
}

TEST(PainterCanvas, ClipRectangleLimitsDrawingUntilReset)
{
    const QImage image = Painted(40, 40, [](TCanvas& c) {
        c.Brush.Color = kRedColor;
        c.SetClipRect({10, 10, 20, 25});
        EXPECT_EQ(c.ClipRect(), (TRect {10, 10, 20, 25}));
        c.FillRect({0, 0, 40, 40});
        c.ResetClipRect();
        EXPECT_FALSE(c.ClipRect());
        c.Brush.Color = kBlueColor;
        c.FillRect({30, 30, 40, 40});
    });
    EXPECT_EQ(CountPixels(image, kRed), 150);
    EXPECT_EQ(Ink(image), QRect(QPoint(10, 10), QPoint(39, 39)));
    EXPECT_EQ(CountPixels(image, kBlue), 100);
}

TEST(PainterCanvas, ClipRectangleStaysInsideThePaintersOwnClip)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setClipRect(0, 0, 15, 40);
        TPainterCanvas canvas(painter);
        canvas.Brush.Color = kRedColor;
        canvas.SetClipRect({10, 10, 20, 20});
        canvas.FillRect({0, 0, 40, 40});
        canvas.ResetClipRect();
        canvas.FillRect({0, 30, 40, 31});
    }
    EXPECT_EQ(Ink(image), QRect(QPoint(0, 10), QPoint(14, 30)));
    EXPECT_EQ(CountPixels(image, kRed), 5 * 10 + 15);
}

TEST(PainterCanvas, TextSitsInItsCellAndTextRectClipsIt)
{
    const QString text = QStringLiteral("Částka WWW");
    int width = 0, height = 0;
    const QImage plain = Painted(200, 60, [&](TCanvas& c) {
        c.Brush.Style = bsClear;
        c.TextOut(10, 20, text);
        width = c.TextWidth(text);
        height = c.TextHeight(text);
    });
    ASSERT_GT(width, 40);
    const QRect ink = Ink(plain);
    EXPECT_TRUE(QRect(10, 20 - 4, width + 1, height + 4).contains(ink)) << "accents may rise above the cell";
    EXPECT_GT(ink.width(), width - 6);

    // A solid brush fills the text cell; TextRect fills its rectangle and draws inside it only.
    const QImage celled = Painted(200, 60, [&](TCanvas& c) {
        c.Brush.Color = kRedColor;
        c.TextOut(10, 20, text);
    });
    EXPECT_EQ(Ink(celled), QRect(10, 20, width, height));
    const QImage clipped = Painted(200, 60, [&](TCanvas& c) {
        c.Brush.Style = bsClear;
        c.TextRect({20, 0, 50, 60}, 10, 20, text);
    });
    EXPECT_TRUE(QRect(20, 0, 30, 60).contains(Ink(clipped)));
    EXPECT_FALSE(Ink(clipped).isNull());
    const QImage opaque = Painted(200, 60, [&](TCanvas& c) {
        c.Brush.Color = kBlueColor;
        c.TextRect({20, 5, 50, 50}, 10, 20, text);
    });
    EXPECT_EQ(Ink(opaque), QRect(20, 5, 30, 45));
}

TEST(CanvasFont, HeightsSizesAndResolutions)
{
    TFont font(96);
    font.SetSize(10);
    EXPECT_EQ(font.Height, -13);
    EXPECT_EQ(font.Size(), 10);
    font.Height = -16;
    EXPECT_EQ(font.Size(), 12);

    // Assigning to a font of another resolution keeps the size in points.
    TFont printerFont(600);
    printerFont = font;
    EXPECT_EQ(printerFont.PixelsPerInch(), 600);
    EXPECT_EQ(printerFont.Height, -100);
    EXPECT_EQ(printerFont.Size(), 12);

    // A positive height is the cell height, which TextHeight reports.
    TBitmap bitmap(10, 10);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Height = -13;
    const int characterHeight = canvas.TextHeight("Hg");
    canvas.Font.Height = characterHeight;
    EXPECT_NEAR(canvas.TextHeight("Hg"), characterHeight, 1);
    canvas.Font.Height = 40;
    EXPECT_NEAR(canvas.TextHeight("Hg"), 40, 1);
    canvas.Font.Style = fsBold;
    const int bold = canvas.TextWidth("Odběratel");
    canvas.Font.Style = 0;
    EXPECT_GT(bold, canvas.TextWidth("Odběratel"));
}

TEST(Bitmap, DrawsOffScreenAndOntoOtherCanvases)
{
    TBitmap logo(6, 4);
    EXPECT_EQ(CountPixels(logo.Image(), kWhite), 24) << "new pixels are white";
    TCanvas& canvas = logo.Canvas();
    canvas.Brush.Color = kRedColor;
    canvas.FillRect({0, 0, 3, 4});
    EXPECT_EQ(CountPixels(logo.Image(), kRed), 12);

    // The canvas outlives a resize and keeps drawing; the old pixels stay.
    logo.SetSize(8, 4);
    canvas.Brush.Color = kBlueColor;
    canvas.FillRect({6, 0, 8, 4});
    EXPECT_EQ(CountPixels(logo.Image(), kRed), 12);
    EXPECT_EQ(CountPixels(logo.Image(), kBlue), 8);
    EXPECT_EQ(&logo.Canvas(), &canvas);

    const QImage drawn = Painted(30, 30, [&](TCanvas& c) {
        c.Draw(10, 20, logo);
        c.StretchDraw({0, 0, 16, 8}, logo);
    });
    EXPECT_EQ(drawn.pixel(10, 20), kRed);
    EXPECT_EQ(drawn.pixel(17, 23), kBlue);
    EXPECT_EQ(Ink(drawn), QRect(0, 0, 18, 24));
    EXPECT_EQ(CountPixels(drawn, kBlue, QRect(0, 0, 16, 8)), 4 * 8);

    // A bitmap drawn onto itself reads the pixels it had.
    canvas.StretchDraw({0, 0, 4, 2}, logo);
    EXPECT_EQ(logo.Image().pixel(0, 0), kRed);
    EXPECT_EQ(logo.Image().pixel(3, 1), kBlue);

    EXPECT_THROW(TBitmap().Canvas().FillRect({0, 0, 1, 1}), Exception);
}

// Red on the left half, blue at the bottom right of an 8 × 6 bitmap.
void PaintLogo(TCanvas& canvas)
{
    canvas.Brush.Color = kRedColor;
    canvas.FillRect({0, 0, 4, 6});
    canvas.Brush.Color = kBlueColor;
    canvas.FillRect({4, 3, 8, 6});
}

// Round trips: a scene recorded and played back lands on the pixels the
// painter canvas gives the same calls. The page is 168 × 120 pixels, whose
// frame is a whole number of hundredths of a millimetre at 96 per inch, so
// the frame maps back onto exactly those pixels.
constexpr int kPageWidth = 168, kPageHeight = 120;

QImage RecordedAndPlayed(const TScene& scene)
{
    TMetafileCanvas recorder(kPageWidth, kPageHeight, 96);
    scene(recorder);
    const TMetafile page = recorder.Finish();
    QImage played(kPageWidth, kPageHeight, QImage::Format_RGB32);
    played.fill(Qt::white);
    {
        QPainter painter(&played);
        emf::PlayMetafile(painter, page, QRectF(0, 0, kPageWidth, kPageHeight));
    }
    return played;
}

void ExpectSamePixels(const TScene& scene)
{
    const QImage direct = Painted(kPageWidth, kPageHeight, scene);
    const QImage played = RecordedAndPlayed(scene);
    int differing = 0;
    QPoint first;
    for (int y = 0; y < kPageHeight; ++y)
        for (int x = 0; x < kPageWidth; ++x)
            if (direct.pixel(x, y) != played.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "the first at " << first.x() << "," << first.y();
}

TEST(CanvasRoundTrip, ShapesAndFillsPlayBackPixelForPixel)
{
    ExpectSamePixels([](TCanvas& c) {
        c.Brush.Color = kRedColor;
        c.Rectangle(2, 3, 40, 30);
        c.Pen.Style = psClear;
        c.Rectangle(50, 3, 90, 30);
        c.Pen.Style = psSolid;
        c.Pen.Width = 3;
        c.Pen.Color = kBlueColor;
        c.Rectangle(100, 5, 150, 30);
        c.Brush.Color = kBlueColor;
        c.FillRect({2, 50, 40, 70});
        c.FrameRect({50, 50, 90, 70});
        c.SetClipRect({10, 80, 60, 100});
        c.FillRect({0, 75, 160, 120});
        c.ResetClipRect();
    });
}

TEST(CanvasRoundTrip, LinesLeaveOutTheirEndPointWhenPlayed)
{
    ExpectSamePixels([](TCanvas& c) {
        c.MoveTo(2, 40);
        c.LineTo(150, 40);
        c.LineTo(150, 60);
        c.MoveTo(10, 70);
        c.LineTo(40, 100);
    });
}

TEST(CanvasRoundTrip, BitmapsAtTheirOwnSizePlayBackPixelForPixel)
{
    TBitmap logo(8, 6);
    PaintLogo(logo.Canvas());
    ExpectSamePixels([&](TCanvas& c) { c.Draw(10, 10, logo); });
}

TEST(CanvasRoundTrip, StretchedBitmapsPlayBackPixelForPixel)
{
    TBitmap logo(8, 6);
    PaintLogo(logo.Canvas());
    ExpectSamePixels([&](TCanvas& c) { c.StretchDraw({40, 10, 72, 34}, logo); });
}

TEST(CanvasRoundTrip, EllipsesPlayBackWithinAPixel)
{
    const TScene scene = [](TCanvas& c) {
        c.Brush.Color = kBlueColor;
        c.Ellipse(10, 10, 71, 50);
        c.Pen.Width = 3;
        c.Ellipse(90, 10, 150, 100);
    };
    const QImage direct = Painted(kPageWidth, kPageHeight, scene);
    const QImage played = RecordedAndPlayed(scene);
    // Row by row, the outline starts and ends within a pixel of the painter canvas's.
    for (int y = 0; y < kPageHeight; ++y) {
        const QRect directRow = Ink(direct.copy(0, y, kPageWidth, 1));
        const QRect playedRow = Ink(played.copy(0, y, kPageWidth, 1));
        ASSERT_EQ(directRow.isNull(), playedRow.isNull()) << "row " << y;
        if (!directRow.isNull()) {
            EXPECT_LE(std::abs(directRow.left() - playedRow.left()), 1) << "row " << y;
            EXPECT_LE(std::abs(directRow.right() - playedRow.right()), 1) << "row " << y;
        }
    }
}

TEST(CanvasRoundTrip, TextPlaysBackWhereTheCanvasMeasuredIt)
{
    const TScene scene = [](TCanvas& c) {
        c.Brush.Style = bsClear;
        c.TextOut(5, 5, QStringLiteral("Přehled faktur"));
        c.Font.Style = fsBold;
        c.Font.Height = -16;
        c.TextOut(5, 30, QStringLiteral("Částka 12 345,00 Kč"));
        c.TextRect({5, 60, 60, 80}, 5, 60, QStringLiteral("Odběratel s.r.o."));
    };
    const QImage direct = Painted(kPageWidth, kPageHeight, scene);
    const QImage played = RecordedAndPlayed(scene);
    // Glyphs may shift by a shade where the player puts each on the whole
    // pixels of the recorded advances; every line keeps its extent.
    for (const QRect line : {QRect(0, 0, kPageWidth, 25), QRect(0, 25, kPageWidth, 30), QRect(0, 55, kPageWidth, 30)}) {
        const QRect directInk = Ink(direct.copy(line)), playedInk = Ink(played.copy(line));
        ASSERT_FALSE(directInk.isNull());
        EXPECT_LE(std::abs(directInk.left() - playedInk.left()), 1) << line.top();
        EXPECT_LE(std::abs(directInk.right() - playedInk.right()), 1) << line.top();
        EXPECT_LE(std::abs(directInk.top() - playedInk.top()), 1) << line.top();
        EXPECT_LE(std::abs(directInk.bottom() - playedInk.bottom()), 1) << line.top();
    }
}

}  // namespace
}  // namespace qrp
