#include "preview/text_finder.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "platform/emf/metafile.h"
#include "preview/page_text_cache.h"

namespace qrp {

namespace {
// Hits reach the window at most this often while a search runs, so that a
// long document does not flood the window's queue; the first hits go at once.
constexpr std::chrono::milliseconds kBatchInterval(30);
}  // namespace

// The hits of a stretch of pages, in search order.
struct TTextFinder::TBatch {
    std::uint64_t Id = 0;
    std::int32_t Pages = 0;  // pages searched in this stretch
    std::vector<std::pair<std::int32_t, std::vector<TTextHit>>> Hits;
    bool Done = false;  // the search ended with this stretch
    bool Full = false;  // ... at the most hits held
};

TTextFinder::TTextFinder(std::shared_ptr<TPageTextCache> cache, std::size_t maxHits)
    : Cache(std::move(cache)), MaxHits(std::max<std::size_t>(1, maxHits))
{
    Worker = std::thread([this] { Work(); });
}

TTextFinder::~TTextFinder()
{
    {
        std::lock_guard guard(Lock);
        Quit = true;
        Pending.reset();
        ++WantedId;
    }
    Wake.notify_all();
    Worker.join();
}

void TTextFinder::Start(const QString& typed, std::int32_t pageCount, std::int32_t startPage, TPageFetch fetch,
                        bool goToFirstHit)
{
    Stop();
    GoToFirst = goToFirstHit;
    Folded = FoldedQuery(typed);
    if (Folded.isEmpty() || pageCount <= 0 || !fetch) {
        Changed();
        return;
    }
    PageCount = pageCount;
    StartPage = std::clamp(startPage, 1, pageCount);
    Busy = true;
    {
        std::lock_guard guard(Lock);
        ShownId = ++WantedId;
        Pending = TRequest {ShownId, Folded, PageCount, StartPage, Cache->Generation(), std::move(fetch)};
    }
    Wake.notify_all();
    Changed();
}

void TTextFinder::Stop()
{
    {
        std::lock_guard guard(Lock);
        Pending.reset();
        ShownId = ++WantedId;
    }
    Folded.clear();
    PageCount = 0;
    StartPage = 1;
    PagesSearched = 0;
    Busy = false;
    Full = false;
    Total = 0;
    Hits.clear();
    At.reset();
    PendingStep.reset();
}

void TTextFinder::Work()
{
    for (;;) {
        TRequest request;
        {
            std::unique_lock guard(Lock);
            Wake.wait(guard, [this] { return Quit || Pending.has_value(); });
            if (Quit)
                return;
            request = std::move(*Pending);
            Pending.reset();
        }
        Search(request);
    }
}

void TTextFinder::Search(const TRequest& request)
{
    using Clock = std::chrono::steady_clock;
    auto batch = std::make_shared<TBatch>();
    batch->Id = request.Id;
    auto lastPost = Clock::now();
    bool hitsPosted = false;
    std::size_t found = 0;
    for (std::int32_t step = 0; step < request.PageCount; ++step) {
        if (WantedId.load() != request.Id)
            return;
        const std::int32_t page = (request.StartPage - 1 + step) % request.PageCount + 1;
        std::vector<TTextHit> hits;
        try {
            const auto entry = Cache->Text(page, request.CacheGeneration, [&] { return request.Fetch(page); });
            if (entry)
                hits = FindOnPage(*entry, page, request.Query);
            else if (Cache->Generation() != request.CacheGeneration)
                break;  // the document has gone: the search ends; the owner starts over on the new one
        } catch (...) {
            // A page that cannot be read has no hits; the others are still searched.
        }
        // More than can be held: the search ends, and says that there were more.
        if (found + hits.size() > MaxHits) {
            hits.resize(MaxHits - found);
            batch->Full = true;
        }
        found += hits.size();
        ++batch->Pages;
        const bool anyHits = !hits.empty();
        if (anyHits)
            batch->Hits.emplace_back(page, std::move(hits));
        if (batch->Full)
            break;
        const auto now = Clock::now();
        if ((anyHits && !hitsPosted) || now - lastPost >= kBatchInterval) {
            hitsPosted |= anyHits || !batch->Hits.empty();
            Post(batch);
            batch = std::make_shared<TBatch>();
            batch->Id = request.Id;
            lastPost = now;
        }
    }
    batch->Done = true;
    Post(batch);
}

void TTextFinder::Post(const std::shared_ptr<TBatch>& batch)
{
    QMetaObject::invokeMethod(this, [this, batch] { Receive(*batch); }, Qt::QueuedConnection);
}

void TTextFinder::Receive(const TBatch& batch)
{
    // A batch of a search since replaced or stopped.
    if (batch.Id != ShownId)
        return;
    PagesSearched = std::min(PageCount, PagesSearched + batch.Pages);
    const bool hadHits = Total > 0;
    for (const auto& [page, hits] : batch.Hits) {
        Total += hits.size();
        Hits[page] = hits;
    }
    if (batch.Done) {
        Busy = false;
        Full = batch.Full;
    }
    if (PendingStep) {
        const auto [direction, fromPage] = *PendingStep;
        if (TryStep(direction, fromPage) != TStepResult::Waiting)
            PendingStep.reset();
    } else if (GoToFirst && !At && !hadHits && !batch.Hits.empty()) {
        // The first hit from the start page on becomes the current one, as the query is typed.
        MoveTo({batch.Hits.front().first, 0});
    }
    Changed();
}

const std::vector<TTextHit>* TTextFinder::HitsOn(std::int32_t pageNumber) const
{
    const auto found = Hits.find(pageNumber);
    return found == Hits.end() ? nullptr : &found->second;
}

bool TTextFinder::Searched(std::int32_t pageNumber) const
{
    if (PageCount <= 0 || pageNumber < 1 || pageNumber > PageCount)
        return false;
    return (pageNumber - StartPage + PageCount) % PageCount < PagesSearched;
}

const TTextHit* TTextFinder::CurrentHit() const
{
    if (!At)
        return nullptr;
    const std::vector<TTextHit>* hits = HitsOn(At->Page);
    return hits && At->Index < hits->size() ? &(*hits)[At->Index] : nullptr;
}

std::size_t TTextFinder::CurrentNumber() const
{
    if (!CurrentHit())
        return 0;
    std::size_t before = 0;
    for (auto it = Hits.begin(); it != Hits.end() && it->first < At->Page; ++it)
        before += it->second.size();
    return before + At->Index + 1;
}

void TTextFinder::Step(int direction, std::int32_t fromPage)
{
    PendingStep.reset();
    if (At && At->Page != fromPage)
        At.reset();
    if (TryStep(direction, fromPage) == TStepResult::Waiting)
        PendingStep = std::pair {direction, fromPage};
}

TTextFinder::TStepResult TTextFinder::TryStep(int direction, std::int32_t fromPage)
{
    if (PageCount <= 0 || direction == 0)
        return TStepResult::Nothing;
    const bool forward = direction > 0;
    // The place to step from: the current hit, or just before (after) the start page's hits.
    std::int32_t page = At ? At->Page : std::clamp(fromPage, 1, PageCount);
    constexpr std::int64_t kAfterAll = std::numeric_limits<std::int64_t>::max();
    std::int64_t index = At ? static_cast<std::int64_t>(At->Index) : forward ? -1 : kAfterAll;
    // Once round the document, and onto the first page again for its hits on the other side.
    for (std::int32_t visited = 0; visited <= PageCount; ++visited) {
        if (!Searched(page)) {
            if (Busy)
                return TStepResult::Waiting;
        } else if (const std::vector<TTextHit>* hits = HitsOn(page)) {
            const auto count = static_cast<std::int64_t>(hits->size());
            const std::int64_t candidate = forward ? index + 1 : std::min(index, count) - 1;
            if (candidate >= 0 && candidate < count) {
                MoveTo({page, static_cast<std::size_t>(candidate)});
                return TStepResult::Moved;
            }
        }
        page = forward ? page % PageCount + 1 : (page + PageCount - 2) % PageCount + 1;
        index = forward ? -1 : kAfterAll;
    }
    return TStepResult::Nothing;
}

void TTextFinder::MoveTo(const TPosition& position)
{
    At = position;
    if (const TTextHit* hit = CurrentHit(); hit && OnCurrentMoved)
        OnCurrentMoved(*hit);
    Changed();
}

void TTextFinder::Changed() const
{
    if (OnChanged)
        OnChanged();
}

}  // namespace qrp
