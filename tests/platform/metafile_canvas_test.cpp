#include <gtest/gtest.h>

#include <map>

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/byte_order.h"
#include "platform/canvas/bitmap.h"
#include "platform/canvas/metafile_canvas.h"
#include "platform/emf/emf_writer.h"
#include "platform/exceptions.h"
#include "platform/memory_stream.h"

namespace qrp {
namespace {

using namespace emf;

// One record of a recording: its type and where it lies.
struct TRecordAt {
    std::uint32_t Type;
    std::size_t Offset;
    std::uint32_t Size;
};

class TParsedPage {
public:
    explicit TParsedPage(const TMetafile& page) : Bytes(page.Bytes())
    {
        for (std::size_t offset = 0; offset + 8 <= Bytes.size();) {
            const std::uint32_t size = LoadUInt32(Bytes.data() + offset + 4);
            Records.push_back({LoadUInt32(Bytes.data() + offset), offset, size});
            if (size < 8)
                break;
            offset += size;
        }
    }

    std::vector<std::uint32_t> Types() const
    {
        std::vector<std::uint32_t> types;
        for (const TRecordAt& r : Records)
            types.push_back(r.Type);
        return types;
    }
    std::vector<TRecordAt> OfType(std::uint32_t type) const
    {
        std::vector<TRecordAt> found;
        for (const TRecordAt& r : Records)
            if (r.Type == type)
                found.push_back(r);
        return found;
    }
    std::int32_t I32(const TRecordAt& r, std::size_t at) const { return LoadInt32(Bytes.data() + r.Offset + at); }
    std::uint32_t U32(const TRecordAt& r, std::size_t at) const { return LoadUInt32(Bytes.data() + r.Offset + at); }
    std::uint8_t U8(const TRecordAt& r, std::size_t at) const { return Bytes[r.Offset + at]; }
    QString Utf16(const TRecordAt& r, std::size_t at, std::size_t units) const
    {
        QString text;
        for (std::size_t i = 0; i < units; ++i)
            text.append(QChar(LoadUInt16(Bytes.data() + r.Offset + at + 2 * i)));
        return text;
    }
    // The advances of a text record.
    std::vector<std::int32_t> Dx(const TRecordAt& r) const
    {
        std::vector<std::int32_t> dx;
        const std::uint32_t offDx = U32(r, 72);
        for (std::uint32_t i = 0; offDx != 0 && i < U32(r, 44); ++i)
            dx.push_back(I32(r, offDx + 4 * i));
        return dx;
    }

    std::vector<std::uint8_t> Bytes;
    std::vector<TRecordAt> Records;
};

// A text cell's face as a font record names it (up to the terminating zero).
QString FaceName(const TParsedPage& page, const TRecordAt& font)
{
    QString face = page.Utf16(font, 40, 32);
    return face.left(face.indexOf(QChar(0)));
}

TEST(MetafileCanvas, RecordsEachCallInOrder)
{
    TMetafileCanvas canvas(200, 100, 96);
    canvas.Pen.Color = RGB(255, 0, 0);
    canvas.Brush.Color = RGB(0, 0, 255);
    canvas.Rectangle(10, 10, 50, 40);
    canvas.MoveTo(0, 50);
    canvas.LineTo(100, 50);
    canvas.Ellipse(60, 10, 90, 40);
    canvas.FillRect({0, 60, 10, 70});
    canvas.Brush.Style = bsClear;
    canvas.TextOut(5, 70, QStringLiteral("Číslo"));
    const TParsedPage page(canvas.Finish());

    const std::vector<std::uint32_t> expected = {
        EMR_HEADER,
        EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_SETBKMODE, EMR_SETBKCOLOR,
        EMR_RECTANGLE,
        EMR_MOVETOEX, EMR_LINETO,
        EMR_ELLIPSE,
        EMR_BITBLT,
        EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_SETTEXTCOLOR, EMR_SETBKMODE, EMR_SETTEXTALIGN,
        EMR_EXTTEXTOUTW,
        EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_SELECTOBJECT, EMR_DELETEOBJECT,
        EMR_EOF};
    EXPECT_EQ(page.Types(), expected);

    const TRecordAt pen = page.OfType(EMR_CREATEPEN).at(0);
    EXPECT_EQ(page.U32(pen, 12), PS_SOLID);
    EXPECT_EQ(page.I32(pen, 16), 1);
    EXPECT_EQ(page.U32(pen, 24), 0x0000FFu);
    const TRecordAt brush = page.OfType(EMR_CREATEBRUSHINDIRECT).at(0);
    EXPECT_EQ(page.U32(brush, 12), BS_SOLID);
    EXPECT_EQ(page.U32(brush, 16), 0xFF0000u);
    const std::vector<TRecordAt> modes = page.OfType(EMR_SETBKMODE);
    EXPECT_EQ(page.U32(modes.at(0), 8), OPAQUE) << "a solid brush fills behind text and dashes";
    EXPECT_EQ(page.U32(modes.at(1), 8), TRANSPARENT);
    const TRecordAt rectangle = page.OfType(EMR_RECTANGLE).at(0);
    EXPECT_EQ((std::vector {page.I32(rectangle, 8), page.I32(rectangle, 12), page.I32(rectangle, 16),
                            page.I32(rectangle, 20)}),
              (std::vector {10, 10, 50, 40}));
    const TRecordAt fill = page.OfType(EMR_BITBLT).at(0);
    EXPECT_EQ((std::vector {page.I32(fill, 24), page.I32(fill, 28), page.I32(fill, 32), page.I32(fill, 36)}),
              (std::vector {0, 60, 10, 10}))
        << "destination and extent";
    EXPECT_EQ(page.U32(fill, 40), 0x00F00021u) << "PATCOPY";
    EXPECT_EQ(page.U32(fill, 92), 0u) << "no source bitmap";
}

TEST(MetafileCanvas, ObjectsFollowTheStateAndAreAllDeletedOnceReplaced)
{
    TMetafileCanvas canvas(200, 200, 96);
    for (int i = 0; i < 3; ++i)
        canvas.Rectangle(i, i, 50, 50);  // one state, one pen
    canvas.Pen.Color = RGB(255, 0, 0);
    canvas.LineTo(10, 10);
    canvas.Pen.Width = 4;
    canvas.Rectangle(0, 0, 20, 20);
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
    canvas.Font.Color = RGB(0, 128, 0);  // colour alone: no new font
    canvas.TextOut(0, 0, "a");
    canvas.Font.Color = clBlack;
    canvas.TextOut(0, 20, "b");
    canvas.Font.Style = fsItalic;
    canvas.TextOut(0, 40, "c");
    const TMetafile recorded = canvas.Finish();
    const TParsedPage page(recorded);

    EXPECT_EQ(page.OfType(EMR_CREATEPEN).size(), 3u);
    EXPECT_EQ(page.OfType(EMR_CREATEBRUSHINDIRECT).size(), 1u);
    EXPECT_EQ(page.OfType(EMR_EXTCREATEFONTINDIRECTW).size(), 2u);
    EXPECT_EQ(page.OfType(EMR_SETTEXTCOLOR).size(), 2u);

    // Replay the object table: every object is deleted once, never while
    // selected, and the header counts enough handle slots.
    std::map<std::uint32_t, std::uint32_t> live;      // handle -> kind (its creating record)
    std::map<std::uint32_t, std::uint32_t> selected;  // kind -> handle
    std::uint32_t highest = 0;
    for (const TRecordAt& r : page.Records) {
        if (r.Type == EMR_CREATEPEN || r.Type == EMR_CREATEBRUSHINDIRECT || r.Type == EMR_EXTCREATEFONTINDIRECTW) {
            const std::uint32_t handle = page.U32(r, 8);
            EXPECT_FALSE(live.count(handle)) << "handle " << handle << " created twice";
            live[handle] = r.Type;
            highest = std::max(highest, handle);
        } else if (r.Type == EMR_SELECTOBJECT) {
            const std::uint32_t handle = page.U32(r, 8);
            if (handle & 0x80000000u) {
                const std::uint32_t kind = handle == BLACK_PEN     ? EMR_CREATEPEN
                                           : handle == WHITE_BRUSH ? EMR_CREATEBRUSHINDIRECT
                                                                   : EMR_EXTCREATEFONTINDIRECTW;
                selected[kind] = handle;
            } else {
                ASSERT_TRUE(live.count(handle)) << "selects handle " << handle << " that does not exist";
                selected[live[handle]] = handle;
            }
        } else if (r.Type == EMR_DELETEOBJECT) {
            const std::uint32_t handle = page.U32(r, 8);
            ASSERT_TRUE(live.count(handle)) << "deletes handle " << handle << " that does not exist";
            EXPECT_NE(selected[live[handle]], handle) << "deletes the selected handle " << handle;
            live.erase(handle);
        }
    }
    EXPECT_TRUE(live.empty()) << live.size() << " objects are never deleted";
    EXPECT_GT(recorded.Header().HandleCount, highest);
}

TEST(MetafileCanvas, HeaderDescribesThePageAndWhatWasDrawn)
{
    TMetafileCanvas canvas(794, 1123, 96);
    canvas.Rectangle(10, 20, 110, 220);
    canvas.Pen.Width = 5;
    canvas.MoveTo(0, 300);
    canvas.LineTo(50, 300);
    canvas.SetClipRect({0, 0, 600, 600});
    canvas.Rectangle(500, 500, 900, 900);  // clipped at 599
    const TMetafile page = canvas.Finish();

    const TEmfHeader& header = page.Header();
    EXPECT_EQ(header.Frame.Right, 21008) << "794 pixels are 210.08 mm";
    EXPECT_EQ(header.Frame.Bottom, 29713);
    EXPECT_EQ(header.Bounds.Left, -2) << "half the wide pen left of the line's start";
    EXPECT_EQ(header.Bounds.Top, 20);
    EXPECT_EQ(header.Bounds.Right, 599);
    EXPECT_EQ(header.Bounds.Bottom, 599);
    EXPECT_EQ(header.DevicePixels.cx, 1920);
    EXPECT_EQ(header.DevicePixels.cy, 1440);
    EXPECT_EQ(header.DeviceMillimeters.cx, 508);
    EXPECT_EQ(header.DeviceMillimeters.cy, 381);
    EXPECT_EQ(header.TotalBytes, page.Bytes().size());
    EXPECT_EQ(header.RecordCount, TParsedPage(page).Records.size());
    EXPECT_EQ(FindEmfStructureFault(page.Bytes()), "");

    // Loaded back like a page of a report file, at its own size.
    TMemoryStream stream(page.Bytes());
    TMetafile loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.Bytes(), page.Bytes());
    EXPECT_EQ(loaded.Width(), 794);
    EXPECT_EQ(loaded.Height(), 1123);

    // Another resolution: the frame and the reference screen follow it.
    TMetafileCanvas large(794, 1123, 120);
    const TMetafile largePage = large.Finish();
    EXPECT_EQ(largePage.Header().Frame.Right, 16806);
    EXPECT_EQ(largePage.Header().DevicePixels.cx, 2400);
    EXPECT_EQ(largePage.Header().DeviceMillimeters.cx, 508);
    EXPECT_EQ(largePage.Width(120), 794);
    EXPECT_EQ(largePage.Header().Bounds.Right, -1) << "nothing drawn";
}

TEST(MetafileCanvas, TextRecordsCarryTheAdvancesTheCanvasMeasured)
{
    const QString text = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy 12 345,00 Kč");
    struct TCase {
        const char* Face;
        const char* Substitute;
        int Height;
        TFontStyles Style;
    };
    for (const TCase& c : {TCase {"Arial", "Liberation Sans", -13, 0}, TCase {"Times New Roman", "Liberation Serif", -20, fsBold},
                           TCase {"Courier New", "Liberation Mono", -11, fsItalic}}) {
        SCOPED_TRACE(c.Face);
        TMetafileCanvas canvas(400, 100, 96);
        canvas.Font.Name = c.Face;
        canvas.Font.Height = c.Height;
        canvas.Font.Style = c.Style;
        canvas.Font.CharSet = EASTEUROPE_CHARSET;
        canvas.TextOut(10, 20, text);
        const int measured = canvas.TextWidth(text);
        const TParsedPage page(canvas.Finish());

        const TRecordAt font = page.OfType(EMR_EXTCREATEFONTINDIRECTW).at(0);
        EXPECT_EQ(page.I32(font, 12), c.Height) << "lfHeight";
        EXPECT_EQ(page.I32(font, 28), (c.Style & fsBold) ? 700 : 400);
        EXPECT_EQ(page.U8(font, 32), (c.Style & fsItalic) ? 1 : 0);
        EXPECT_EQ(page.U8(font, 35), EASTEUROPE_CHARSET);
        EXPECT_EQ(FaceName(page, font), QString(c.Face));

        const TRecordAt record = page.OfType(EMR_EXTTEXTOUTW).at(0);
        EXPECT_EQ(page.I32(record, 36), 10);
        EXPECT_EQ(page.I32(record, 40), 20);
        ASSERT_EQ(page.U32(record, 44), static_cast<std::uint32_t>(text.size()));
        EXPECT_EQ(page.Utf16(record, page.U32(record, 48), static_cast<std::size_t>(text.size())), text);
        const std::vector<std::int32_t> dx = page.Dx(record);
        ASSERT_EQ(dx.size(), static_cast<std::size_t>(text.size()));

        // Measured apart from the canvas: every running sum of the advances stays
        // within half a pixel of the substitute face's exact width of that prefix.
        QFont reference{QString(c.Substitute)};
        reference.setPixelSize(-c.Height);
        reference.setBold(c.Style & fsBold);
        reference.setItalic(c.Style & fsItalic);
        reference.setKerning(false);
        const QFontMetricsF metrics(reference);
        int sum = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            sum += dx[static_cast<std::size_t>(i)];
            EXPECT_LE(std::abs(sum - metrics.horizontalAdvance(text.left(i + 1))), 0.5) << "after " << i + 1;
        }
        EXPECT_EQ(sum, measured);
        EXPECT_GT(sum, 100);
    }
}

TEST(MetafileCanvas, TextRectRecordsItsRectangleAndClipping)
{
    TMetafileCanvas canvas(400, 100, 96);
    canvas.TextRect({10, 10, 60, 30}, 12, 12, "Odběratel");
    canvas.Brush.Style = bsClear;
    canvas.TextRect({10, 40, 60, 60}, 12, 42, "Odběratel");
    const TParsedPage page(canvas.Finish());
    const std::vector<TRecordAt> texts = page.OfType(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(page.U32(texts[0], 52), ETO_CLIPPED | ETO_OPAQUE) << "a solid brush fills the rectangle";
    EXPECT_EQ(page.U32(texts[1], 52), ETO_CLIPPED);
    EXPECT_EQ((std::vector {page.I32(texts[1], 56), page.I32(texts[1], 60), page.I32(texts[1], 64),
                            page.I32(texts[1], 68)}),
              (std::vector {10, 40, 60, 60}));
    EXPECT_LE(page.I32(texts[1], 16), 59) << "the record's bounds end inside the rectangle";
}

TEST(MetafileCanvas, ClipRectangleIsSelectedAndReset)
{
    TMetafileCanvas canvas(100, 100, 96);
    canvas.SetClipRect({5, 6, 50, 60});
    canvas.ResetClipRect();
    const TParsedPage page(canvas.Finish());
    const std::vector<TRecordAt> clips = page.OfType(EMR_EXTSELECTCLIPRGN);
    ASSERT_EQ(clips.size(), 2u);
    constexpr std::uint32_t RGN_COPY = 5;
    EXPECT_EQ(page.U32(clips[0], 8), 48u) << "one rectangle of region data";
    EXPECT_EQ(page.U32(clips[0], 12), RGN_COPY);
    EXPECT_EQ(page.U32(clips[0], 24), 1u) << "rectangles";
    EXPECT_EQ((std::vector {page.I32(clips[0], 48), page.I32(clips[0], 52), page.I32(clips[0], 56),
                            page.I32(clips[0], 60)}),
              (std::vector {5, 6, 50, 60}));
    EXPECT_EQ(page.U32(clips[1], 8), 0u) << "no region: the whole page again";
    EXPECT_EQ(page.U32(clips[1], 12), RGN_COPY);
}

TEST(MetafileCanvas, BitmapsBecomeBottomUpDibs)
{
    TBitmap bitmap(3, 2);
    bitmap.Canvas().Brush.Color = RGB(10, 20, 30);
    bitmap.Canvas().FillRect({0, 1, 3, 2});  // the bottom row
    TMetafileCanvas canvas(100, 100, 96);
    canvas.Draw(5, 6, bitmap);
    canvas.StretchDraw({20, 20, 50, 40}, bitmap);
    const TParsedPage page(canvas.Finish());
    const std::vector<TRecordAt> blits = page.OfType(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 2u);
    const TRecordAt& r = blits[0];
    EXPECT_EQ((std::vector {page.I32(r, 24), page.I32(r, 28), page.I32(r, 40), page.I32(r, 44), page.I32(r, 72),
                            page.I32(r, 76)}),
              (std::vector {5, 6, 3, 2, 3, 2}))
        << "destination, source size and destination size";
    EXPECT_EQ(page.I32(blits[1], 72), 30);
    EXPECT_EQ(page.I32(blits[1], 76), 20);
    const std::uint32_t info = page.U32(r, 48), bits = page.U32(r, 56);
    EXPECT_EQ(page.U32(r, info), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(page.I32(r, info + 4), 3);
    EXPECT_EQ(page.I32(r, info + 8), 2) << "bottom-up";
    EXPECT_EQ(page.U32(r, info + 12) >> 16, 24u) << "bits per pixel";
    EXPECT_EQ(page.U32(r, 60), 2u * 12) << "rows of 9 bytes padded to 12";
    // The first row stored is the bottom one, blue-green-red.
    EXPECT_EQ((std::vector {page.U8(r, bits), page.U8(r, bits + 1), page.U8(r, bits + 2)}),
              (std::vector<std::uint8_t> {30, 20, 10}));
    EXPECT_EQ(page.U8(r, bits + 12), 255) << "the top row is white";
}

TEST(MetafileCanvas, APageDrawnIntoAPageBecomesItsPicture)
{
    TMetafileCanvas inner(40, 40, 96);
    inner.Brush.Color = RGB(255, 0, 0);
    inner.FillRect({0, 0, 40, 40});
    const TMetafile innerPage = inner.Finish();

    TMetafileCanvas outer(100, 100, 96);
    outer.StretchDraw({10, 10, 30, 30}, innerPage);
    const TParsedPage page(outer.Finish());
    const std::vector<TRecordAt> blits = page.OfType(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(page.I32(blits[0], 72), 20);
    const std::uint32_t bits = page.U32(blits[0], 56);
    EXPECT_EQ((std::vector {page.U8(blits[0], bits), page.U8(blits[0], bits + 1), page.U8(blits[0], bits + 2)}),
              (std::vector<std::uint8_t> {0, 0, 255}))
        << "red, as the inner page drew it";
}

TEST(MetafileCanvas, RefusesWhatItCannotRecord)
{
    TMetafileCanvas canvas(100, 100, 96);
    canvas.Rectangle(0, 0, 10, 10);
    const TMetafile page = canvas.Finish();
    EXPECT_FALSE(page.Empty());
    EXPECT_THROW(canvas.Rectangle(0, 0, 10, 10), Exception);
    EXPECT_THROW(canvas.TextOut(0, 0, "x"), Exception);
    EXPECT_THROW(canvas.SetClipRect({0, 0, 5, 5}), Exception);
    EXPECT_THROW(canvas.Finish(), Exception);

    TEmfWriter writer(10, 10);
    const std::vector<std::uint8_t> shortBits(5);
    EXPECT_THROW(writer.StretchDIBits({0, 0, 2, 2}, TDibPixels {2, 2, 24, shortBits}), Exception);
    const std::vector<std::uint8_t> bits(16);
    EXPECT_THROW(writer.StretchDIBits({0, 0, 2, 2}, TDibPixels {2, 2, 8, bits}), Exception) << "8 bits need a palette";
    EXPECT_NO_THROW(writer.StretchDIBits({0, 0, 2, 2}, TDibPixels {2, 2, 24, bits}));
    const std::int32_t oneAdvance[] = {5};
    EXPECT_THROW(writer.ExtTextOut(0, 0, 0, {}, u"ab", oneAdvance, {}), Exception);
    EXPECT_EQ(FindEmfStructureFault(writer.Finish()), "");
}

// Another reader of the format reads what the canvas records.
TEST(MetafileCanvas, AnotherReaderConvertsTheRecording)
{
    const QString converter = QStandardPaths::findExecutable("emf2svg-conv");
    if (converter.isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed (Debian package emf2svg)";
    TBitmap logo(16, 16);
    logo.Canvas().Brush.Color = RGB(0, 90, 160);
    logo.Canvas().Ellipse(0, 0, 16, 16);

    TMetafileCanvas canvas(794, 400, 96);
    canvas.Font.CharSet = EASTEUROPE_CHARSET;
    canvas.Font.Height = -24;
    canvas.Font.Style = fsBold;
    canvas.Brush.Style = bsClear;
    canvas.TextOut(40, 30, QStringLiteral("Přehled faktur"));
    canvas.Draw(700, 30, logo);
    canvas.Font.Height = -13;
    canvas.Font.Style = 0;
    canvas.Pen.Color = clGray;
    canvas.Rectangle(38, 80, 756, 106);
    canvas.TextOut(45, 85, QStringLiteral("Částka"));
    canvas.MoveTo(38, 130);
    canvas.LineTo(756, 130);
    canvas.Pen.Style = psDot;
    canvas.Ellipse(300, 200, 400, 260);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = RGB(255, 255, 200);
    canvas.FillRect({38, 300, 200, 330});
    canvas.TextRect({38, 300, 100, 330}, 40, 305, QStringLiteral("Stránka 1 / 3"));
    const TMetafile page = canvas.Finish();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile emf(dir.filePath("page.emf"));
    ASSERT_TRUE(emf.open(QIODevice::WriteOnly));
    emf.write(reinterpret_cast<const char*>(page.Bytes().data()), static_cast<qint64>(page.Bytes().size()));
    emf.close();

    QProcess process;
    process.start(converter, {"-i", dir.filePath("page.emf"), "-o", dir.filePath("page.svg")});
    ASSERT_TRUE(process.waitForFinished(30000)) << "emf2svg-conv did not finish";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QFile svgFile(dir.filePath("page.svg"));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(svgFile.readAll());
    for (const char* expected : {"Přehled faktur", "Částka", "Stránka 1 / 3", "<ellipse", "<image", "<rect"})
        EXPECT_TRUE(svg.contains(QString::fromUtf8(expected))) << expected;
}

}  // namespace
}  // namespace qrp
