#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/exceptions.h"
#include "platform/memory_stream.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

Bytes SmallRecording()
{
    emf::TEmfWriter writer(794, 1123);
    writer.Rectangle({10, 20, 110, 220});
    writer.MoveTo(0, 0);
    writer.LineTo(50, 60);
    return writer.Finish();
}

// The offset of the n-th record (0 = the header).
std::size_t RecordOffset(const Bytes& bytes, int n)
{
    std::size_t offset = 0;
    for (int i = 0; i < n; ++i)
        offset += LoadUInt32(bytes.data() + offset + 4);
    return offset;
}

TEST(EmfWriter, WritesACompleteHeader)
{
    const Bytes bytes = SmallRecording();
    const auto header = emf::ParseEmfHeader(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->TotalBytes, bytes.size());
    EXPECT_EQ(header->RecordCount, 5u) << "header, rectangle, move, line, end of file";
    EXPECT_EQ(header->Frame.Right, 21008);
    EXPECT_EQ(header->Frame.Bottom, 29713);
    EXPECT_EQ(header->Bounds.Left, 0);
    EXPECT_EQ(header->Bounds.Right, 109);
    EXPECT_EQ(header->Bounds.Bottom, 219);
    EXPECT_EQ(header->DevicePixels.cx, 1920);
    EXPECT_EQ(header->DeviceMillimeters.cx, 508);
    EXPECT_EQ(emf::FindEmfStructureFault(bytes), "");
    EXPECT_EQ(LoadUInt32(bytes.data() + RecordOffset(bytes, 4)), emf::EMR_EOF);
}

TEST(Metafile, ReportsTheFrameInPixels)
{
    for (const auto& [width, height] : {std::pair {794, 1123}, {1123, 794}, {816, 1056}, {1, 1}, {5000, 20}}) {
        const TMetafile page(emf::TEmfWriter(width, height).Finish());
        EXPECT_EQ(page.Width(), width);
        EXPECT_EQ(page.Height(), height);
    }
    EXPECT_EQ(TMetafile().Width(), 0);
    EXPECT_EQ(TMetafile(emf::TEmfWriter(794, 1123).Finish()).Width(300), 2481);
}

TEST(Metafile, ReadsExactlyTheStatedLengthAndWritesTheSameBytes)
{
    const Bytes bytes = SmallRecording();
    Bytes withTrailer = bytes;
    withTrailer.insert(withTrailer.end(), {0xAA, 0xBB, 0xCC, 0xDD});
    TMemoryStream stream(withTrailer);
    TMetafile page;
    page.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(page.Bytes(), bytes);

    TMemoryStream out;
    page.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), bytes);
}

TEST(Metafile, RefusesDataThatIsNoRecording)
{
    const Bytes good = SmallRecording();
    const auto refuses = [](const Bytes& bytes) {
        TMemoryStream stream(bytes);
        TMetafile page;
        try {
            page.LoadFromStream(stream);
        } catch (const EInvalidGraphic&) {
            return "invalid";
        } catch (const EReadError&) {
            return "short";
        }
        return "accepted";
    };
    const auto patched = [&good](std::size_t offset, std::uint32_t value) {
        Bytes bytes = good;
        StoreUInt32(bytes.data() + offset, value);
        return bytes;
    };
    const std::size_t rect = RecordOffset(good, 1);

    EXPECT_STREQ(refuses(good), "accepted");
    EXPECT_STREQ(refuses(patched(0, 2)), "invalid") << "first record is no header";
    EXPECT_STREQ(refuses(patched(40, 0x12345678)), "invalid") << "signature";
    EXPECT_STREQ(refuses(patched(4, 40)), "invalid") << "header size below the minimum";
    EXPECT_STREQ(refuses(patched(48, 50)), "invalid") << "total below the header size";
    EXPECT_STREQ(refuses(patched(48, 0x7FFFFFF0)), "short") << "huge total: cut short, nothing allocated";
    EXPECT_STREQ(refuses(Bytes(good.begin(), good.begin() + 60)), "short");
    EXPECT_STREQ(refuses(Bytes(good.begin(), good.end() - 4)), "short");
    EXPECT_STREQ(refuses(Bytes {1, 0}), "short");
    EXPECT_STREQ(refuses(Bytes {}), "short");
    EXPECT_STREQ(refuses(Bytes(200, 0)), "invalid");
    EXPECT_STREQ(refuses(patched(rect + 4, 0)), "invalid") << "record size 0";
    EXPECT_STREQ(refuses(patched(rect + 4, 22)), "invalid") << "odd record size";
    EXPECT_STREQ(refuses(patched(rect + 4, 4000)), "invalid") << "record past the end";
    EXPECT_STREQ(refuses(patched(RecordOffset(good, 4), 54)), "invalid") << "no end-of-file record";
    EXPECT_STREQ(refuses(patched(rect, emf::EMR_EOF)), "invalid") << "end-of-file record before the end";

    // A refused load leaves the recording as it was.
    TMetafile page(good);
    TMemoryStream broken(patched(rect + 4, 0));
    EXPECT_THROW(page.LoadFromStream(broken), EInvalidGraphic);
    EXPECT_EQ(page.Bytes(), good);
}

TEST(Metafile, LengthIsBoundedByWhatTheCallerAllows)
{
    const Bytes bytes = SmallRecording();
    TMemoryStream stream(bytes);
    TMetafile page;
    EXPECT_THROW(page.LoadFromStream(stream, static_cast<std::int64_t>(bytes.size()) - 1), EReadError);
    stream.SetPosition(0);
    EXPECT_NO_THROW(page.LoadFromStream(stream, static_cast<std::int64_t>(bytes.size())));
}

TEST(EmfStructure, NamesTheFirstBadRecord)
{
    Bytes bytes = SmallRecording();
    const std::size_t line = RecordOffset(bytes, 3);
    StoreUInt32(bytes.data() + line + 4, 6);
    EXPECT_EQ(emf::FindEmfStructureFault(bytes),
              "record 3 at offset " + std::to_string(line) + ": invalid record size 6");
}

}  // namespace
}  // namespace qrp
