// Every real-world recording of the shared corpus plays, and damaged copies of
// them play as far as they can without a crash, a hang or a sanitizer report.

#include <gtest/gtest.h>

#include <random>

#include "platform/byte_order.h"
#include "platform/emf/metafile.h"
#include "platform/exceptions.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/page_image.h"
#include "platform/emf/player/trace_device.h"
#include "tests/support/test_files.h"

namespace qrp::emf {
namespace {

using test::Bytes;

class CorpusPlayback : public test::CorpusTest {};

TEST_F(CorpusPlayback, EveryRecordingDrawsSomething)
{
    for (const auto& file : Files) {
        TMetafile page;
        page.LoadFromFile(file.string());
        TTraceDevice device;
        PlayEmf(page.Bytes(), device, QRectF(0, 0, 800, 600));
        // Files holding only EMF+ records draw nothing through the GDI records,
        // and empty pictures (bounds of nothing) nothing at all.
        const bool onlyPlus = file.filename() == "test-038.emf" || file.filename() == "test_libuemf_p_ref.emf";
        const bool empty = page.Header().Bounds.Right < page.Header().Bounds.Left;
        if (!onlyPlus && !empty) {
            EXPECT_GT(device.Lines().size(), 1u) << file;
        }
    }
}

TEST_F(CorpusPlayback, EveryRecordingStaysFarWithinItsDrawingBudget)
{
    // At 96 dpi, and at the 1200 dpi of PDF pages, where clip regions have
    // twelve times the rows.
    for (const auto& file : Files) {
        TMetafile page;
        page.LoadFromFile(file.string());
        const auto& frame = page.Header().Frame;
        for (const double dpi : {96.0, 1200.0}) {
            const QSizeF size((static_cast<double>(frame.Right) - frame.Left) * dpi / 2540,
                              (static_cast<double>(frame.Bottom) - frame.Top) * dpi / 2540);
            TTraceDevice device;
            std::vector<std::string> stops;
            const auto onProblem = [&](const TPlaybackProblem& p) {
                if (p.What.find("drawing budget") != std::string::npos)
                    stops.push_back(p.What);
            };
            const TPageWork work = PlayEmf(page.Bytes(), device, QRectF(QPointF(0, 0), size), onProblem);
            EXPECT_TRUE(stops.empty()) << file << " at " << dpi << " dpi: " << stops.front();
            EXPECT_LE(work.Done.PaintedPixels, work.Limits.PaintedPixels / 10) << file << " at " << dpi << " dpi";
            EXPECT_LE(work.Done.DecodedPixels, work.Limits.DecodedPixels / 10) << file << " at " << dpi << " dpi";
            EXPECT_LE(work.Done.PathSegments, work.Limits.PathSegments / 10) << file << " at " << dpi << " dpi";
            EXPECT_LE(work.Done.Glyphs, work.Limits.Glyphs / 10) << file << " at " << dpi << " dpi";
        }
    }
}

TEST_F(CorpusPlayback, DamagedRecordingsPlayAsFarAsTheyCan)
{
    std::mt19937 random(7);
    const std::uint32_t awkward[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 65535, 12, 1u << 30};
    int played = 0;
    for (const auto& file : Files) {
        TMetafile page;
        page.LoadFromFile(file.string());
        for (int round = 0; round < 6; ++round) {
            Bytes bytes = page.Bytes();
            // Overwrite fields inside records, never the header's type and signature.
            for (int e = 0; e < 12; ++e) {
                const std::size_t at = 100 + random() % (bytes.size() - 104);
                StoreUInt32(bytes.data() + (at & ~std::size_t {3}), awkward[random() % std::size(awkward)]);
            }
            TTraceDevice device;
            PlayEmf(bytes, device, QRectF(0, 0, 400, 300), [](const TPlaybackProblem&) {});
            ++played;
        }
    }
    EXPECT_EQ(played, static_cast<int>(Files.size()) * 6);
}

TEST_F(CorpusPlayback, DamagedFilesOfTheCorpusAreHandled)
{
    // The container refuses the ones that are no EMF; the rest render.
    const auto root = test::CorpusDir() / "emf-train";
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        if (entry.path().filename().string().rfind("bad_", 0) != 0 || entry.path().extension() != ".emf")
            continue;
        TMetafile page;
        try {
            page.LoadFromFile(entry.path().string());
        } catch (const Exception&) {
            continue;
        }
        const QImage image = RenderPageImage(page, 96);
        EXPECT_FALSE(image.isNull()) << entry.path();
    }
}

}  // namespace
}  // namespace qrp::emf
