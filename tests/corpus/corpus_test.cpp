// Real-world page recordings from the shared corpus: they load as sound
// containers, round-trip through the splay-tree code and through report
// files byte for byte.

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/memory_stream.h"
#include "report/qr_compress.h"
#include "report/qr_page_list.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

class Corpus : public test::CorpusTest {};

TEST_F(Corpus, EveryRecordingRoundTripsThroughTheCode)
{
    for (const auto& file : Files) {
        TMetafile page;
        ASSERT_NO_THROW(page.LoadFromFile(file.string())) << file;
        const Bytes& input = page.Bytes();

        TMemoryStream code;
        TQRCompress compressor(code, true);
        compressor.CompressBytes(input.data(), input.size());
        compressor.Finish();
        const auto codeLength = static_cast<std::int64_t>(code.Bytes().size());
        code.WriteInt32(0x5EA1ED);

        code.SetPosition(0);
        TQRCompress expander(code, false);
        Bytes output(input.size());
        expander.ExpandBytes(output.data(), output.size());
        expander.Finish();
        EXPECT_EQ(output, input) << file;
        EXPECT_EQ(code.Position(), codeLength) << file;
    }
}

TEST_F(Corpus, RecordingsComeBackFromReportFilesByteForByte)
{
    std::vector<TMetafile> pages;
    for (const auto& file : Files) {
        pages.emplace_back();
        pages.back().LoadFromFile(file.string());
    }
    test::ScratchDir dir;
    for (const bool compressed : {false, true}) {
        test::WriteWholeFile(dir.File("corpus.qrp"), test::MakeDocument(pages, compressed));
        TQRPageList list;
        list.AttachFile(dir.File("corpus.qrp"));
        ASSERT_EQ(list.PageTotal(), static_cast<std::int32_t>(pages.size()));
        for (std::int32_t n = list.PageTotal(); n >= 1; --n)
            ASSERT_EQ(list.GetPage(n)->Bytes(), pages[static_cast<std::size_t>(n - 1)].Bytes()) << Files[static_cast<std::size_t>(n - 1)];
    }
}

TEST_F(Corpus, DamagedRecordingsAreRefused)
{
    const auto root = test::CorpusDir() / "emf-train";
    for (const char* name : {"bad_corrupted_2014-12-02-215338.emf", "bad_corrupted_2014-12-02-215428.emf"}) {
        if (!std::filesystem::exists(root / name))
            continue;
        TMetafile page;
        EXPECT_THROW(page.LoadFromFile((root / name).string()), Exception) << name;
    }
}

TEST_F(Corpus, RecordedPagesReportTheirPaperInPixels)
{
    const auto pages = test::CorpusDir() / "gdi-pages";
    TMetafile a4;
    a4.LoadFromFile((pages / "a4-table-invoice.emf").string());
    EXPECT_EQ(a4.Width(), 794);
    EXPECT_EQ(a4.Height(), 1123);
    TMetafile landscape;
    landscape.LoadFromFile((pages / "a4-landscape-report.emf").string());
    EXPECT_EQ(landscape.Width(), 1123);
    EXPECT_EQ(landscape.Height(), 794);
}

}  // namespace
}  // namespace qrp
