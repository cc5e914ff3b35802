// Damaged report files made here, one kind of damage each. Every one must end
// in a clean error, from loading or from the page it breaks, never a crash,
// a hang or a huge allocation; the file check must name a problem; and the
// pages before the damage must still read. Pages are read forwards, then
// backwards, so that lookups from the first and from the last page both meet it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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
    // Every kind here is damage that readers meet, not an oddity they get past.
    const auto problems = InspectReportFile(name);
    EXPECT_TRUE(std::any_of(problems.begin(), problems.end(),
                            [](const TCheckProblem& p) { return p.Severity == TCheckSeverity::Damage; }))
        << "only oddities found";
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

// Oddities are what readers get past as they are written: format words no
// reader checks, and bytes no reader looks at. Bytes after the last record of
// two pages or more are damage: readers take the file's last four bytes for
// the last page's start. So is a record the header's page count leaves out.
struct CheckCase {
    const char* Name;
    int Pages;
    std::function<void(Document&)> Apply;
    std::vector<TCheckSeverity> Expected;
};

void Append(Document& d, std::size_t count, std::uint8_t value = 0) { d.File.insert(d.File.end(), count, value); }

Document MakeDocumentOf(int pages)
{
    Document doc;
    std::vector<TMetafile> recordings;
    for (int i = 1; i <= pages; ++i)
        recordings.push_back(test::MakePage(i, 794, 1123, 40 * i));
    doc.File = test::MakeDocument(recordings, false);
    return doc;
}

TEST(ReportFileCheck, TellsOdditiesFromDamage)
{
    using enum TCheckSeverity;
    const std::vector<CheckCase> cases = {
        {"OtherFormatWords", 3, [](Document& d) { Put(d, 0, 0x01320004); }, {Oddity}},
        {"BytesAfterTheHeaderOfNoPages", 0, [](Document& d) { Append(d, 20, 0xAB); }, {Oddity}},
        {"BytesAfterTheOnlyPage", 1, [](Document& d) { Append(d, 16); }, {Oddity}},
        {"OtherWordsAndBytesAfterTheOnlyPage", 1,
         [](Document& d) {
             Put(d, 0, 0x01310002);
             Append(d, 3, 7);
         },
         {Oddity, Oddity}},
        {"BytesAfterTheLastOfTwoPages", 2, [](Document& d) { Append(d, 4); }, {Damage}},
        {"BytesAfterTheLastOfThreePages", 3, [](Document& d) { Append(d, 8, 1); }, {Damage}},
        {"AnUncountedSecondPage", 2, [](Document& d) { Put(d, 8, 1); }, {Damage}},
        {"UncountedPagesAfterAHeaderOfNone", 2, [](Document& d) { Put(d, 8, 0); }, {Damage}},
        {"OtherWordsOnADamagedFile", 3,
         [](Document& d) {
             Put(d, 0, 0x01320003);
             Put(d, 136, 77);
         },
         {Oddity, Damage}},
    };
    test::ScratchDir dir;
    for (const CheckCase& oddity : cases) {
        Document doc = MakeDocumentOf(oddity.Pages);
        oddity.Apply(doc);
        test::WriteWholeFile(dir.File("odd.qrp"), doc.File);
        const auto problems = InspectReportFile(dir.File("odd.qrp"));
        std::vector<TCheckSeverity> severities;
        std::string texts;
        for (const TCheckProblem& problem : problems) {
            severities.push_back(problem.Severity);
            texts += problem.Text + " (" + problem.Note + "); ";
            EXPECT_NE(problem.Text, "");
        }
        EXPECT_EQ(severities, oddity.Expected) << oddity.Name << ": " << texts;
        EXPECT_EQ(CheckReportFile(dir.File("odd.qrp")).size(), problems.size()) << oddity.Name;
    }
}

TEST(ReportFileCheck, OdditiesAreWhatReadersGetPast)
{
    // Only oddities: every page reads, in any order, from a fresh document.
    test::ScratchDir dir;
    Document words = MakeDocumentOf(3);
    Put(words, 0, 0x01320004);
    Document tail = MakeDocumentOf(1);
    Append(tail, 16);
    for (const Document* doc : {&words, &tail}) {
        test::WriteWholeFile(dir.File("odd.qrp"), doc->File);
        for (std::int32_t first = 1; first <= 3; ++first) {
            TQRPageList list;
            list.AttachFile(dir.File("odd.qrp"));
            for (std::int32_t n = std::min(first, list.PageTotal()); n >= 1; --n)
                EXPECT_NO_THROW(list.GetPage(n)) << "page " << n;
        }
    }
    // The damage: bytes after the last of three pages, and the last page read first fails.
    Document damaged = MakeDocumentOf(3);
    Append(damaged, 8, 1);
    test::WriteWholeFile(dir.File("damaged.qrp"), damaged.File);
    TQRPageList list;
    list.AttachFile(dir.File("damaged.qrp"));
    EXPECT_THROW(list.GetPage(3), Exception);
}

TEST(ReportFileCheck, KnowsFilesThatAreNoReportFiles)
{
    test::ScratchDir dir;
    const auto reason = [&](const Bytes& bytes) {
        test::WriteWholeFile(dir.File("file"), bytes);
        return WhyNotAReportFile(dir.File("file"));
    };
    const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };

    EXPECT_EQ(reason({}), "it is empty");
    EXPECT_EQ(reason(Bytes(50, 0)), "it is shorter than the 128-byte header: 50 bytes");
    Bytes pdf = text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    pdf.resize(2000, ' ');
    EXPECT_EQ(reason(pdf), "it is a PDF document");
    EXPECT_EQ(reason(test::MakePage(1).Bytes()), "it is an EMF page recording");
    Bytes png = text("\x89PNG\r\n\x1a\n");
    png.resize(300, 0);
    EXPECT_EQ(reason(png), "it is a PNG picture");
    EXPECT_EQ(reason(Bytes(1000, 0)),
              "it does not begin with the format words 3 and 305, nor with a header like a report file's");
    Bytes noise(4000);
    std::mt19937 random(3);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    EXPECT_TRUE(reason(noise).has_value());

    // Report files, sound or not: the format words, or other words on a report's header or page 1.
    EXPECT_EQ(reason(test::MakeDocument(0, false)), std::nullopt);
    EXPECT_EQ(reason(test::MakeDocument(2, true)), std::nullopt);
    Document odd = MakeBase(false);
    Put(odd, 0, 0x01320004);
    EXPECT_EQ(reason(odd.File), std::nullopt);
    Put(odd, 12, 0x55);  // a reserved word no longer zero, page 1 still framed at 128
    EXPECT_EQ(reason(odd.File), std::nullopt);
    Put(odd, 128, 9);  // and page 1's record broken too: nothing left to go by
    EXPECT_TRUE(reason(odd.File).has_value());
    Document broken = MakeBase(true);
    Put(broken, 8, -1);
    EXPECT_EQ(reason(broken.File), std::nullopt);

    // The check says so, as its only problem.
    test::WriteWholeFile(dir.File("x.pdf"), pdf);
    const auto problems = InspectReportFile(dir.File("x.pdf"));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Severity, TCheckSeverity::Damage);
    EXPECT_EQ(problems[0].Text, "not a report file (it is a PDF document)");
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
