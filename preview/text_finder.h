#pragma once
// The find bar's search through a document: a worker thread reads the pages'
// words (through the shared page text cache) from a start page on, round the
// end back to the page before it, and hands the hits of each stretch of pages
// to the owner's thread as it goes, so the window never waits for it. A new
// search cancels the one running; hits of a cancelled search never arrive.
//
// The hits found so far are held in document order; one of them is the
// current hit, which Step moves to the next or previous one, round the ends.
// A step towards pages not searched yet waits for them.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QObject>
#include <QString>

#include "preview/text_search.h"

namespace qrp {

class TMetafile;
class TPageTextCache;

class TTextFinder : public QObject {
public:
    // Supplies page n's recording, or none; called on the worker thread, so it
    // must not touch what the window's thread changes. It may raise: that page
    // is passed over.
    using TPageFetch = std::function<std::shared_ptr<const TMetafile>(std::int32_t pageNumber)>;
    // A search stops once it has found this many hits, unless told another number.
    static constexpr std::size_t kMaxHits = 100000;

    struct TPosition {
        std::int32_t Page = 0;
        std::size_t Index = 0;  // among the page's hits
        friend bool operator==(const TPosition&, const TPosition&) = default;
    };

    explicit TTextFinder(std::shared_ptr<TPageTextCache> cache, std::size_t maxHits = kMaxHits);
    // Cancels the search and waits for the worker to let go of its page.
    ~TTextFinder() override;

    // Looks for typed (FoldedQuery) in pages 1..pageCount from startPage on,
    // forgetting the hits and the current hit of the search before. A query
    // that folds to nothing, or no pages, finds nothing and starts no work.
    // With goToFirstHit the first hit found becomes the current one (as a
    // query is typed); without, no hit is current until a step.
    void Start(const QString& typed, std::int32_t pageCount, std::int32_t startPage, TPageFetch fetch,
               bool goToFirstHit = true);
    // Cancels the search and forgets its hits.
    void Stop();

    const QString& Query() const { return Folded; }
    bool Running() const { return Busy; }
    // The search stopped at the most hits it holds.
    bool Capped() const { return Full; }
    std::size_t HitCount() const { return Total; }
    // The hits on page n found so far, none when there are none.
    const std::vector<TTextHit>* HitsOn(std::int32_t pageNumber) const;
    bool Searched(std::int32_t pageNumber) const;

    std::optional<TPosition> Current() const { return At; }
    const TTextHit* CurrentHit() const;
    // The current hit's number among the hits found so far, in document order; 0 without one.
    std::size_t CurrentNumber() const;

    // Moves to the next (direction > 0) or previous hit. It steps from the
    // current hit while that is on fromPage, the page shown; otherwise (none,
    // or the user turned to another page) to the first hit from fromPage on,
    // or going back the last up to it.
    void Step(int direction, std::int32_t fromPage);

    // Hits arrived, the search ended or was dropped, or the current hit moved.
    std::function<void()> OnChanged;
    // The current hit moved to hit: the owner brings it into view.
    std::function<void(const TTextHit& hit)> OnCurrentMoved;

private:
    struct TRequest {
        std::uint64_t Id = 0;
        QString Query;
        std::int32_t PageCount = 0;
        std::int32_t StartPage = 1;
        std::uint64_t CacheGeneration = 0;
        TPageFetch Fetch;
    };
    struct TBatch;
    enum class TStepResult { Moved, Waiting, Nothing };

    void Work();
    void Search(const TRequest& request);
    void Post(const std::shared_ptr<TBatch>& batch);
    void Receive(const TBatch& batch);
    TStepResult TryStep(int direction, std::int32_t fromPage);
    void MoveTo(const TPosition& position);
    void Changed() const;

    std::shared_ptr<TPageTextCache> Cache;
    const std::size_t MaxHits;

    // The owner's thread's view of the search.
    QString Folded;
    std::uint64_t ShownId = 0;  // the search whose hits are held
    std::int32_t PageCount = 0;
    std::int32_t StartPage = 1;
    std::int32_t PagesSearched = 0;  // from StartPage on, round the end
    bool Busy = false;
    bool Full = false;
    bool GoToFirst = true;
    std::size_t Total = 0;
    std::map<std::int32_t, std::vector<TTextHit>> Hits;
    std::optional<TPosition> At;
    // A step that waits for pages not searched yet.
    std::optional<std::pair<int, std::int32_t>> PendingStep;

    // Shared with the worker.
    std::mutex Lock;
    std::condition_variable Wake;
    std::optional<TRequest> Pending;
    std::atomic<std::uint64_t> WantedId {0};
    bool Quit = false;
    std::thread Worker;  // last: started once the rest is ready
};

}  // namespace qrp
