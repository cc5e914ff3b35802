// Damaged report files made here, one kind of damage each. Every one must end
// in a clean error, from loading or from the page it breaks, never a crash,
// a hang or a huge allocation; the file check must name a problem; and the
// pages before the damage must still read. Pages are read forwards, then
// backwards, so that lookups from the first and from the last page both meet it.

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/byte_order.h"
#include "platform/emf/emf_header.h"
#include "platform/exceptions.h"
#include "report/qr_page_list.h"
#include "report/report_file_check.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

constexpr int kPages = 3;

struct Document {
    Bytes File;
    std::vector<std::int32_t> Starts;  // record starts of pages 1..kPages
};

Document MakeBase(bool compressed)
{
    Document doc;
    std::vector<TMetafile> pages;
    for (int i = 1; i <= kPages; ++i)
        pages.push_back(test::MakePage(i, 794, 1123, 40 * i));
    doc.File = test::MakeDocument(pages, compressed);
    for (std::int32_t start = 128; start < static_cast<std::int32_t>(doc.File.size());)
        start = LoadInt32(doc.File.data() + (doc.Starts.emplace_back(start), start + 4));
    return doc;
}

std::int32_t EndOf(const Document& d, int page) { return LoadInt32(d.File.data() + d.Starts[static_cast<std::size_t>(page - 1)] + 4); }

// The offset of a record inside page 1's plain EMF data.
std::size_t EmfRecordInPage(const Document& d, int page, int record)
{
    std::size_t offset = static_cast<std::size_t>(d.Starts[static_cast<std::size_t>(page - 1)]) + 8;
    for (int i = 0; i < record; ++i)
        offset += LoadUInt32(d.File.data() + offset + 4);
    return offset;
}

struct Damage {
    const char* Name;
    bool Compressed;
    std::function<void(Document&)> Apply;
    int PagesStillReadable;  // pages 1..n must read despite the damage
};

void Put(Document& d, std::size_t offset, std::int32_t value) { StoreInt32(d.File.data() + offset, value); }
void Cut(Document& d, std::size_t size) { d.File.resize(size); }

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> damages = {
        {"EmptyFile", false, [](Document& d) { Cut(d, 0); }, 0},
        {"CutInsideTheHeader", false, [](Document& d) { Cut(d, 100); }, 0},
        {"OnlyTheHeader", false, [](Document& d) { Cut(d, 128); }, 0},
        {"CutInsidePage1", false, [](Document& d) { Cut(d, 300); }, 0},
        {"CutInsidePage2", false, [](Document& d) { Cut(d, static_cast<std::size_t>(d.Starts[1] + 150)); }, 1},
        {"CutInsidePage2Compressed", true, [](Document& d) { Cut(d, static_cast<std::size_t>(d.Starts[1] + 40)); }, 1},
        {"LastByteMissing", false, [](Document& d) { Cut(d, d.File.size() - 1); }, 2},
        {"LastByteMissingCompressed", true, [](Document& d) { Cut(d, d.File.size() - 1); }, 2},
        {"NegativePageCount", false, [](Document& d) { Put(d, 8, -1); }, 0},
        {"HugePageCount", false, [](Document& d) { Put(d, 8, 0x7FFFFFFF); }, 0},
        {"OneCountedPageTooMany", false, [](Document& d) { Put(d, 8, kPages + 1); }, 3},
        // Both counted pages read along the chain; only the check sees the extra record.
        {"FewerPagesCountedThanStored", false, [](Document& d) { Put(d, 8, kPages - 1); }, 2},
        {"WrongFirstPageNumber", false, [](Document& d) { Put(d, 128, 5); }, 0},
        {"WrongSecondPageNumber", true, [](Document& d) { Put(d, static_cast<std::size_t>(d.Starts[1]), 1); }, 1},
        {"NextOffsetOutsideTheFile", false, [](Document& d) { Put(d, 132, 0x7FFFFFF0); }, 0},
        {"NegativeNextOffset", false, [](Document& d) { Put(d, 132, -400); }, 0},
        {"NextOffsetBackwards", false, [](Document& d) { Put(d, 132, 64); }, 0},
        {"NextOffsetToItself", false, [](Document& d) { Put(d, 132, 128); }, 0},
        {"NextOffsetIntoARecord", false, [](Document& d) { Put(d, 132, d.Starts[1] + 20); }, 0},
        {"CycleBackToPage1", false, [](Document& d) { Put(d, static_cast<std::size_t>(d.Starts[1] + 4), 128); }, 1},
        {"LastPageOffsetOutsideTheFile", false, [](Document& d) { Put(d, d.File.size() - 4, 1 << 30); }, 2},
        {"LastPageOffsetToItself", false,
         [](Document& d) { Put(d, d.File.size() - 4, static_cast<std::int32_t>(d.File.size() - 4)); }, 2},
        {"LastPageOffsetNegative", true, [](Document& d) { Put(d, d.File.size() - 4, -1); }, 2},
        {"BrokenBackLinkOfPage2", false, [](Document& d) { Put(d, static_cast<std::size_t>(EndOf(d, 2) - 4), d.Starts[1] + 8); }, 1},
        {"BackLinkCycle", false, [](Document& d) { Put(d, static_cast<std::size_t>(EndOf(d, 2) - 4), d.Starts[2]); }, 1},
        {"PageDataIsNoRecording", false, [](Document& d) { Put(d, 136, 77); }, 0},
        {"RandomBytesInPage2", false,
         [](Document& d) {
             std::mt19937 random(5);
             for (std::int32_t i = d.Starts[1] + 8; i < EndOf(d, 2) - 4; ++i)
                 d.File[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(random());
         },
         1},
        {"RecordSizeZero", false, [](Document& d) { Put(d, EmfRecordInPage(d, 1, 2) + 4, 0); }, 0},
        {"RecordSizeOdd", false, [](Document& d) { Put(d, EmfRecordInPage(d, 1, 2) + 4, 13); }, 0},
        {"RecordPastTheEnd", false, [](Document& d) { Put(d, EmfRecordInPage(d, 1, 3) + 4, 0x10000); }, 0},
        {"RecordingLongerThanItsRecord", false, [](Document& d) { Put(d, 136 + 48, EndOf(d, 1) - 136 + 8); }, 0},
        {"RecordingShorterThanItsRecord", false,
         [](Document& d) {
             // A second page recording's worth of room claimed by page 1: its data ends early.
             Put(d, 132, EndOf(d, 2));
         },
         0},
        {"NegativeCompressedLength", true, [](Document& d) { Put(d, 136, -5); }, 0},
        {"HugeCompressedLength", true, [](Document& d) { Put(d, 136, 0x7FFFFFFF); }, 0},
        {"CompressedLengthBeyondTheCode", true, [](Document& d) { Put(d, 136, 8 * (EndOf(d, 1) - 144)); }, 0},
        {"GarbledCode", true,
         [](Document& d) {
             for (std::int32_t i = 160; i < EndOf(d, 1) - 8; i += 7)
                 d.File[static_cast<std::size_t>(i)] ^= 0x5A;
         },
         0},
        {"PlainFlagOnCompressedPages", true, [](Document& d) { d.File[25] = 0; }, 0},
        {"CompressedFlagOnPlainPages", false, [](Document& d) { d.File[25] = 1; }, 0},
        {"NotAReportAtAll", false,
         [](Document& d) {
             std::mt19937 random(77);
             for (auto& b : d.File)
                 b = static_cast<std::uint8_t>(random());
         },
         0},
    };
    return damages;
}

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.Name; }

class DamagedFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, FailsCleanly)
{
    const Damage& damage = GetParam();
    Document doc = MakeBase(damage.Compressed);
    damage.Apply(doc);
    test::ScratchDir dir;
    const std::string name = dir.File("damaged.qrp");
    test::WriteWholeFile(name, doc.File);

    int failures = 0;
    TQRPageList list;
    try {
        list.AttachFile(name);
    } catch (const Exception& error) {
        ++failures;
        EXPECT_EQ(list.PageStream(), nullptr) << "a file that fails to load leaves no document";
        EXPECT_EQ(list.PageTotal(), 0);
        EXPECT_NE(std::string(error.what()), "");
    }
    if (failures == 0) {
        // Every page in an order that exercises both walks, twice: a failed
        // lookup must leave the next one as sound as the first.
        std::vector<std::int32_t> order;
        for (std::int32_t n = 1; n <= list.PageTotal(); ++n)
            order.push_back(n);
        for (std::int32_t n = list.PageTotal(); n >= 1; --n)
            order.push_back(n);
        for (const std::int32_t n : order) {
            try {
                const auto page = list.GetPage(n);
                ASSERT_TRUE(page);
                if (n <= kPages && n <= damage.PagesStillReadable) {
                    EXPECT_EQ(page->Bytes(), test::MakePage(n, 794, 1123, 40 * n).Bytes());
                }
            } catch (const Exception&) {
                ++failures;
                EXPECT_GT(n, damage.PagesStillReadable) << "page " << n << " should still read";
            }
        }
    }
    if (failures == 0) {
        EXPECT_EQ(damage.PagesStillReadable, list.PageTotal()) << "the damage went unnoticed";
    }
    EXPECT_FALSE(CheckReportFile(name).empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedFile, ::testing::ValuesIn(Damages()),
                         [](const auto& test) { return std::string(test.param.Name); });

TEST(ReportFileCheck, FindsNothingWrongWithSoundFiles)
{
    test::ScratchDir dir;
    for (const bool compressed : {false, true}) {
        for (const int pages : {0, 1, 2, 7}) {
            test::WriteWholeFile(dir.File("ok.qrp"), test::MakeDocument(pages, compressed));
            const auto problems = CheckReportFile(dir.File("ok.qrp"));
            EXPECT_TRUE(problems.empty()) << pages << " pages: " << (problems.empty() ? "" : problems.front());
        }
    }
}

TEST(ReportFileCheck, NamesWhatIsWrong)
{
    test::ScratchDir dir;
    Document doc = MakeBase(false);
    doc.File.insert(doc.File.end(), {1, 2, 3, 4, 5, 6, 7, 8});
    Put(doc, 2, 306);
    test::WriteWholeFile(dir.File("x.qrp"), doc.File);
    const auto problems = CheckReportFile(dir.File("x.qrp"));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "header: the format words are 3 and 306 instead of 3 and 305");
    EXPECT_EQ(problems[1], "8 bytes follow the record of the last page");
}

}  // namespace
}  // namespace qrp

namespace qrp {
namespace {

// Random damage on top of the hand-made kinds: flipped bytes, framing words
// overwritten with awkward values, cuts. Only the system's own exceptions may
// come out; anything else (a bad_alloc, a length_error) is a fault.
TEST(DamagedFile, RandomDamageOnlyEverRaisesCleanErrors)
{
    test::ScratchDir dir;
    const std::string name = dir.File("random.qrp");
    std::mt19937 random(2024);
    const std::int32_t awkward[] = {0, -1, 1, 4, 8, 127, 128, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000), 1 << 20};
    for (const bool compressed : {false, true}) {
        const Document base = MakeBase(compressed);
        for (int round = 0; round < 150; ++round) {
            Document doc = base;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const auto at = static_cast<std::size_t>(random() % doc.File.size());
                switch (random() % 3) {
                case 0: doc.File[at] ^= static_cast<std::uint8_t>(1 + random() % 255); break;
                case 1:
                    if (at + 4 <= doc.File.size())
                        Put(doc, at & ~std::size_t {3}, awkward[random() % std::size(awkward)]);
                    break;
                default: doc.File.resize(std::max<std::size_t>(at, 1)); break;
                }
            }
            test::WriteWholeFile(name, doc.File);
            try {
                TQRPageList list;
                list.AttachFile(name);
                for (std::int32_t n = list.PageTotal(); n >= 1; n -= 1 + static_cast<std::int32_t>(random() % 2)) {
                    try {
                        list.GetPage(n);
                    } catch (const Exception&) {
                    }
                }
            } catch (const Exception&) {
            }
            CheckReportFile(name);
        }
    }
}

}  // namespace
}  // namespace qrp
