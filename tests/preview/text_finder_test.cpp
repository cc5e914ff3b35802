// The words of pages kept within a budget and dropped with the document, and
// the background search over them: every hit from the start page round the
// end, steps through the hits in document order round the ends, a step that
// waits for pages not searched yet, a new query replacing the old, pages
// that cannot be read, and the most hits a search holds.

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>

#include <QScopeGuard>
#include <QTest>

#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "preview/page_text_cache.h"
#include "preview/text_finder.h"

namespace qrp {
namespace {

using TPages = std::vector<std::shared_ptr<const TMetafile>>;

// An A4 page at 96 pixels per inch with one line of text per entry.
std::shared_ptr<const TMetafile> TextPage(const std::vector<std::u16string>& lines)
{
    emf::TEmfWriter writer(794, 1123);
    writer.SelectObject(writer.CreateFont({}));
    int y = 60;
    for (const std::u16string& line : lines) {
        writer.TextOut(60, y, line);
        y += 40;
    }
    return std::make_shared<TMetafile>(writer.Finish());
}

// Five pages: "Kavárna" once on page 2 and twice on page 4, "Lékárna" on page 5.
TPages Document()
{
    return {TextPage({u"Strana 1", u"Pekárna U Zlatého klasu"}),
            TextPage({u"Strana 2", u"Kavárna Na Nábřeží"}),
            TextPage({u"Strana 3"}),
            TextPage({u"Strana 4", u"Kavárna Na Nábřeží", u"Pekárna", u"kavárna na nábřeží"}),
            TextPage({u"Strana 5", u"Lékárna U Anděla"})};
}

TTextFinder::TPageFetch FetchFrom(const TPages& pages)
{
    return [pages](std::int32_t n) -> std::shared_ptr<const TMetafile> {
        return n >= 1 && n <= static_cast<std::int32_t>(pages.size()) ? pages[static_cast<std::size_t>(n - 1)] : nullptr;
    };
}

// Holds the worker at one page until opened.
struct Gate {
    std::mutex Lock;
    std::condition_variable Opened;
    bool Open = false;
    void Wait()
    {
        std::unique_lock guard(Lock);
        Opened.wait(guard, [this] { return Open; });
    }
    void Release()
    {
        {
            std::lock_guard guard(Lock);
            Open = true;
        }
        Opened.notify_all();
    }
};

bool Finished(const TTextFinder& finder)
{
    return QTest::qWaitFor([&] { return !finder.Running(); }, 20000);
}

TTextFinder::TPosition At(std::int32_t page, std::size_t index) { return {page, index}; }

TEST(PageTextCache, KeepsWhatItReadWithinItsBudgetTheLeastUsedGoingFirst)
{
    const TPages pages = Document();
    const std::size_t pageBytes = TPageTextEntry::Read(*pages[1])->Bytes();
    // Room for pages 2 and 1 (a little larger), not for a third page beside them.
    TPageTextCache cache(pageBytes * 5 / 2);
    int reads = 0;
    const auto read = [&](std::int32_t n) {
        return cache.Text(n, cache.Generation(), [&] {
            ++reads;
            return pages[static_cast<std::size_t>(n - 1)];
        });
    };
    const auto first = read(2);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Text.PlainText(), QStringLiteral("Strana 2\nKavárna Na Nábřeží"));
    EXPECT_EQ(read(2), first) << "kept, not read again";
    EXPECT_EQ(reads, 1);
    read(3);
    read(2);     // page 2 used last, page 3 before it
    read(1);     // no room for three: page 3 goes
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(cache.PagesKept(), 2u);
    EXPECT_LE(cache.BytesKept(), pageBytes * 5 / 2);
    read(2);
    EXPECT_EQ(reads, 3);
    read(3);
    EXPECT_EQ(reads, 4);
}

TEST(PageTextCache, NothingReadForADocumentOutlivesIt)
{
    const TPages pages = Document();
    TPageTextCache cache;
    const std::uint64_t before = cache.Generation();
    ASSERT_TRUE(cache.Text(1, before, [&] { return pages[0]; }));
    cache.Clear();
    EXPECT_EQ(cache.PagesKept(), 0u);
    EXPECT_NE(cache.Generation(), before);
    // A reader still working for the document before gets nothing and reads nothing.
    bool fetched = false;
    EXPECT_FALSE(cache.Text(1, before, [&] {
        fetched = true;
        return pages[0];
    }));
    EXPECT_FALSE(fetched);
    // The document changes while a page is read: the page is not kept.
    const std::uint64_t during = cache.Generation();
    EXPECT_FALSE(cache.Text(2, during, [&] {
        cache.Clear();
        return pages[1];
    }));
    EXPECT_EQ(cache.PagesKept(), 0u);
    // A page that cannot be read: the error passes, nothing is kept.
    EXPECT_THROW(cache.Text(3, cache.Generation(), []() -> std::shared_ptr<const TMetafile> {
        throw std::runtime_error("damaged");
    }), std::runtime_error);
    EXPECT_EQ(cache.PagesKept(), 0u);
}

TEST(TextFinder, FindsEveryHitFromTheStartPageOnAndStepsInDocumentOrder)
{
    TTextFinder finder(std::make_shared<TPageTextCache>());
    std::vector<std::int32_t> shown;
    finder.OnCurrentMoved = [&](const TTextHit& hit) { shown.push_back(hit.Page); };
    finder.Start(QStringLiteral("KAVARNA na"), 5, 3, FetchFrom(Document()));
    ASSERT_TRUE(Finished(finder));
    EXPECT_EQ(finder.HitCount(), 3u);
    ASSERT_TRUE(finder.HitsOn(2) && finder.HitsOn(4));
    EXPECT_EQ(finder.HitsOn(2)->size(), 1u);
    EXPECT_EQ(finder.HitsOn(4)->size(), 2u);
    EXPECT_EQ(finder.HitsOn(3), nullptr);
    EXPECT_FALSE(finder.Capped());
    for (std::int32_t page = 1; page <= 5; ++page)
        EXPECT_TRUE(finder.Searched(page)) << page;
    // The first hit from page 3 on became the current one, the second of the document.
    EXPECT_EQ(finder.Current(), At(4, 0));
    EXPECT_EQ(finder.CurrentNumber(), 2u);
    EXPECT_EQ(shown, (std::vector<std::int32_t> {4}));

    finder.Step(1, 4);
    EXPECT_EQ(finder.Current(), At(4, 1));
    EXPECT_EQ(finder.CurrentNumber(), 3u);
    finder.Step(1, 4);  // round the end
    EXPECT_EQ(finder.Current(), At(2, 0));
    EXPECT_EQ(finder.CurrentNumber(), 1u);
    finder.Step(-1, 2);  // back round the start
    EXPECT_EQ(finder.Current(), At(4, 1));
    EXPECT_EQ(shown, (std::vector<std::int32_t> {4, 4, 2, 4}));
    // The user turned to page 3: steps go from there, not from the hit on page 4.
    finder.Step(-1, 3);
    EXPECT_EQ(finder.Current(), At(2, 0));

    // A hit of two words: "Kavárna Na" on page 2 has a box on each.
    ASSERT_NE(finder.CurrentHit(), nullptr);
    EXPECT_EQ(finder.CurrentHit()->Boxes.size(), 2u);
    for (const QRectF& box : finder.CurrentHit()->Boxes)
        EXPECT_TRUE(QRectF(0, 0, 1, 1).contains(box)) << "fractions of the page";

    finder.Stop();
    EXPECT_EQ(finder.HitCount(), 0u);
    EXPECT_FALSE(finder.Current());
    EXPECT_TRUE(finder.Query().isEmpty());
}

TEST(TextFinder, AStepTowardsPagesNotSearchedYetWaitsForThem)
{
    auto gate = std::make_shared<Gate>();
    const TPages pages = Document();
    TTextFinder finder(std::make_shared<TPageTextCache>());
    const auto open = qScopeGuard([&] { gate->Release(); });
    finder.Start(QStringLiteral("kavárna"), 5, 1, [pages, gate](std::int32_t n) {
        if (n == 4)
            gate->Wait();
        return pages[static_cast<std::size_t>(n - 1)];
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Current().has_value(); }, 20000));
    EXPECT_EQ(finder.Current(), At(2, 0));
    EXPECT_TRUE(finder.Running());
    EXPECT_FALSE(finder.Searched(4));
    // The next hit may lie on page 4: the step does not go round to page 2 meanwhile.
    finder.Step(1, 2);
    EXPECT_EQ(finder.Current(), At(2, 0));
    gate->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.Current() == At(4, 0); }, 20000));
    ASSERT_TRUE(Finished(finder));
    EXPECT_EQ(finder.HitCount(), 3u);
    EXPECT_EQ(finder.Current(), At(4, 0)) << "taken once";
}

TEST(TextFinder, ANewQueryReplacesTheSearchRunningAndItsHitsNeverArrive)
{
    auto gate = std::make_shared<Gate>();
    const TPages pages = Document();
    TTextFinder finder(std::make_shared<TPageTextCache>());
    const auto open = qScopeGuard([&] { gate->Release(); });
    const auto gated = [pages, gate](std::int32_t n) {
        if (n == 2)
            gate->Wait();
        return pages[static_cast<std::size_t>(n - 1)];
    };
    finder.Start(QStringLiteral("pekárna"), 5, 1, gated);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finder.HitCount() == 1; }, 20000));  // page 1's
    // The worker now waits inside page 2; the new query goes on once it lets go.
    finder.Start(QStringLiteral("lekarna u andela"), 5, 1, FetchFrom(pages));
    EXPECT_EQ(finder.HitCount(), 0u);
    gate->Release();
    ASSERT_TRUE(Finished(finder));
    EXPECT_EQ(finder.HitCount(), 1u);
    ASSERT_TRUE(finder.HitsOn(5));
    EXPECT_EQ(finder.HitsOn(1), nullptr);
    EXPECT_EQ(finder.HitsOn(4), nullptr) << "page 4's \"Pekárna\" belonged to the query before";
}

TEST(TextFinder, PagesThatCannotBeReadArePassedOverAndHitsStopAtTheMost)
{
    const TPages pages = Document();
    TTextFinder finder(std::make_shared<TPageTextCache>());
    finder.Start(QStringLiteral("kavarna"), 5, 1, [pages](std::int32_t n) -> std::shared_ptr<const TMetafile> {
        if (n == 2)
            throw std::runtime_error("page 2: Stream read error");
        return pages[static_cast<std::size_t>(n - 1)];
    });
    ASSERT_TRUE(Finished(finder));
    EXPECT_EQ(finder.HitCount(), 2u);
    EXPECT_EQ(finder.HitsOn(2), nullptr);

    // A query of blanks looks for nothing.
    finder.Start(QStringLiteral("  "), 5, 1, FetchFrom(pages));
    EXPECT_FALSE(finder.Running());
    EXPECT_TRUE(finder.Query().isEmpty());

    TTextFinder capped(std::make_shared<TPageTextCache>(), 4);
    capped.Start(QStringLiteral("a"), 5, 1, FetchFrom(pages));
    ASSERT_TRUE(Finished(capped));
    EXPECT_EQ(capped.HitCount(), 4u);
    EXPECT_TRUE(capped.Capped());
}

}  // namespace
}  // namespace qrp
