#include <gtest/gtest.h>

#include <random>

#include "platform/byte_order.h"
#include "platform/exceptions.h"
#include "report/qr_page_list.h"
#include "report/report_file_error.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

std::unique_ptr<TQRPageList> NewDocument(bool compressed, std::int32_t memoryLimit = TQRStream::kDefaultSpillLimit)
{
    auto list = std::make_unique<TQRPageList>();
    list->SetCompression(compressed);
    list->AttachStream(std::make_unique<TQRStream>(memoryLimit));
    return list;
}

Bytes StreamBytes(TQRPageList& list)
{
    TMemoryStream out;
    list.PageStream()->CopyInto(out);
    return out.TakeBytes();
}

TEST(ReportHeader, SixteenPagesOnTheFirstDayOf2001)
{
    for (const bool compressed : {false, true}) {
        auto list = NewDocument(compressed);
        list->SetClock([] { return 36892.5; });
        for (int i = 1; i <= 16; ++i)
            list->AddPage(test::MakePage(i));
        list->Finish();
        const Bytes bytes = StreamBytes(*list);
        const Bytes expected = {0x03, 0x00, 0x31, 0x01, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0,
                                0,    0,    0,    0,    0x90, 0x03, 0xE2, 0x40, 0, 0, 0, 0, 0, 0, 0, 0};
        Bytes header(bytes.begin(), bytes.begin() + 128);
        EXPECT_EQ(header[25], compressed ? 1 : 0);
        header[25] = 0;
        EXPECT_EQ(Bytes(header.begin(), header.begin() + 32), expected);
        EXPECT_EQ(Bytes(header.begin() + 32, header.end()), Bytes(96, 0));
    }
}

TEST(PageList, TwoPlainPagesLieBackToBack)
{
    const TMetafile one = test::MakePage(1);
    const TMetafile two = test::MakePage(2);
    const Bytes file = test::MakeDocument({one, two}, false);
    const std::int32_t second = 128 + 12 + static_cast<std::int32_t>(one.Bytes().size());

    EXPECT_EQ(LoadInt32(file.data() + 8), 2);
    EXPECT_EQ(LoadInt32(file.data() + 128), 1);
    EXPECT_EQ(LoadInt32(file.data() + 132), second);
    EXPECT_EQ(Bytes(file.begin() + 136, file.begin() + 136 + static_cast<std::ptrdiff_t>(one.Bytes().size())), one.Bytes());
    EXPECT_EQ(LoadInt32(file.data() + second - 4), 128);
    EXPECT_EQ(LoadInt32(file.data() + second), 2);
    EXPECT_EQ(LoadInt32(file.data() + second + 4), static_cast<std::int32_t>(file.size()));
    EXPECT_EQ(LoadInt32(file.data() + file.size() - 4), second);
    EXPECT_EQ(file.size(), 128u + 2 * 12 + one.Bytes().size() + two.Bytes().size());
}

TEST(PageList, CompressedPagesStoreTheirLengthThenTheCode)
{
    test::ScratchDir dir;
    const TMetafile page = test::MakePage(4);
    const Bytes file = test::MakeDocument({page}, true);
    EXPECT_EQ(file[25], 1);
    EXPECT_EQ(LoadInt32(file.data() + 136), static_cast<std::int32_t>(page.Bytes().size()));
    EXPECT_LT(file.size(), 128 + 16 + page.Bytes().size()) << "the code is shorter than the page";

    test::WriteWholeFile(dir.File("c.qrp"), file);
    TQRPageList loaded;
    loaded.AttachFile(dir.File("c.qrp"));
    EXPECT_TRUE(loaded.Compression());
    EXPECT_EQ(loaded.GetPage(1)->Bytes(), page.Bytes());
}

class PageOrder : public ::testing::TestWithParam<bool> {};

TEST_P(PageOrder, AnyOrderOfLookupsGivesTheSamePages)
{
    const bool compressed = GetParam();
    test::ScratchDir dir;
    std::vector<TMetafile> pages;
    for (int i = 1; i <= 40; ++i)
        pages.push_back(test::MakePage(i, 794, 1123, i * 3));
    test::WriteWholeFile(dir.File("d.qrp"), test::MakeDocument(pages, compressed));

    std::vector<std::int32_t> order = {2, 1, 40, 2, 3, 39, 38, 20, 21, 19, 1, 40, 37};
    std::mt19937 random(99);
    for (int i = 0; i < 200; ++i)
        order.push_back(static_cast<std::int32_t>(random() % 40 + 1));
    for (int round = 0; round < 2; ++round) {
        TQRPageList list;
        list.AttachFile(dir.File("d.qrp"));
        ASSERT_EQ(list.PageTotal(), 40);
        EXPECT_EQ(list.Compression(), compressed);
        for (const std::int32_t n : order) {
            const auto page = list.GetPage(n);
            ASSERT_TRUE(page);
            ASSERT_EQ(page->Bytes(), pages[static_cast<std::size_t>(n - 1)].Bytes()) << "page " << n;
        }
        std::reverse(order.begin(), order.end());
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, PageOrder, ::testing::Bool());

TEST(PageList, PagesOutsideTheDocumentAreNone)
{
    auto list = NewDocument(false);
    EXPECT_EQ(list->GetPage(1), nullptr);
    list->AddPage(test::MakePage(1));
    list->AddPage(test::MakePage(2));
    EXPECT_EQ(list->GetPage(0), nullptr);
    EXPECT_EQ(list->GetPage(-5), nullptr);
    EXPECT_EQ(list->GetPage(3), nullptr);
    EXPECT_NE(list->GetPage(2), nullptr);
}

TEST(PageList, ADocumentInProductionCanBeReadBetweenPages)
{
    auto list = NewDocument(true);
    list->AddPage(test::MakePage(1));
    EXPECT_EQ(LoadInt32(StreamBytes(*list).data() + 8), 1) << "the first page writes a header with count 1";
    EXPECT_EQ(list->GetPage(1)->Bytes(), test::MakePage(1).Bytes());
    list->AddPage(test::MakePage(2));
    EXPECT_EQ(list->GetPage(2)->Bytes(), test::MakePage(2).Bytes());
    list->AddPage(test::MakePage(3));
    EXPECT_EQ(list->GetPage(3)->Bytes(), test::MakePage(3).Bytes());

    list->Finish();
    EXPECT_EQ(list->PageStream()->Position(), 128);
    list->SeekToPage(2);
    EXPECT_EQ(list->PageStream()->ReadInt32(), 2);
    EXPECT_EQ(list->GetPage(1)->Bytes(), test::MakePage(1).Bytes());
    EXPECT_EQ(LoadInt32(StreamBytes(*list).data() + 8), 3);
}

TEST(PageList, LargeDocumentsMoveToATempFileAndStillRead)
{
    auto list = NewDocument(false);
    std::vector<TMetafile> pages;
    for (int i = 1; i <= 30; ++i) {
        pages.push_back(test::MakePage(i, 794, 1123, 600));
        list->AddPage(pages.back());
    }
    list->Finish();
    EXPECT_FALSE(list->PageStream()->MemoryBacked());
    for (const std::int32_t n : {30, 1, 15, 16, 14})
        EXPECT_EQ(list->GetPage(n)->Bytes(), pages[static_cast<std::size_t>(n - 1)].Bytes());

    test::ScratchDir dir;
    list->WriteToFile(dir.File("big.qrp"));
    EXPECT_EQ(test::ReadWholeFile(dir.File("big.qrp")), StreamBytes(*list));
}

TEST(PageList, AHeaderOfNoPagesLoadsEmptyWhateverFollows)
{
    test::ScratchDir dir;
    Bytes file = test::MakeDocument(3, false);
    StoreInt32(file.data() + 8, 0);
    test::WriteWholeFile(dir.File("zero.qrp"), file);
    TQRPageList list;
    list.AttachFile(dir.File("zero.qrp"));
    EXPECT_EQ(list.PageTotal(), 0);
    EXPECT_EQ(list.GetPage(1), nullptr);
}

TEST(PageList, SavingOverTheLoadedFileKeepsIt)
{
    test::ScratchDir dir;
    const Bytes file = test::MakeDocument(5, true);
    test::WriteWholeFile(dir.File("same.qrp"), file);
    TQRPageList list;
    list.AttachFile(dir.File("same.qrp"));
    list.WriteToFile(dir.File("same.qrp"));
    EXPECT_EQ(test::ReadWholeFile(dir.File("same.qrp")), file);
    EXPECT_EQ(list.GetPage(5)->Bytes(), test::MakePage(5).Bytes());
}

TEST(PageList, AFileThatCannotBeOpenedLeavesNoDocument)
{
    test::ScratchDir dir;
    test::WriteWholeFile(dir.File("ok.qrp"), test::MakeDocument(2, false));
    TQRPageList list;
    list.AttachFile(dir.File("ok.qrp"));
    EXPECT_THROW(list.AttachFile(dir.File("absent.qrp")), EFOpenError);
    EXPECT_EQ(list.PageStream(), nullptr);
    EXPECT_EQ(list.PageTotal(), 0);
    EXPECT_THROW(list.WriteToFile(dir.File("x.qrp")), Exception);
}

TEST(PageList, RefusesToGrowPastTwoGigabytes)
{
    // A sparse temporary file grown so that the next page ends exactly at the
    // largest offset the format can hold; the page after it cannot be addressed.
    auto list = NewDocument(false, 16);
    const TMetafile page = test::MakePage(1);
    list->AddPage(page);
    ASSERT_FALSE(list->PageStream()->MemoryBacked());
    const std::int64_t recordSize = 12 + static_cast<std::int64_t>(page.Bytes().size());
    list->PageStream()->Seek(0x7FFFFFFF - recordSize - 1, TSeekOrigin::soBeginning);
    list->PageStream()->WriteBuffer("", 1);

    list->AddPage(page);
    EXPECT_EQ(list->PageStream()->Size(), 0x7FFFFFFF);
    EXPECT_EQ(list->PageTotal(), 2);
    EXPECT_THROW(list->AddPage(page), EReportFileError);
    EXPECT_EQ(list->PageTotal(), 2) << "nothing of the refused page is counted";
    EXPECT_EQ(list->PageStream()->Size(), 0x7FFFFFFF) << "nor written";
}

}  // namespace
}  // namespace qrp
