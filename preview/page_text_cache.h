#pragma once
// The words of a document's pages, read once and kept for the find bar's
// search and the preview's selection. Reading a page plays it whole, so what
// was read is kept, within a budget of bytes: a document of thousands of
// pages keeps the pages used last. Clear drops everything when the document
// changes; a page read for the document before is never kept after it.
//
// Safe to use from several threads: the search reads pages on a worker while
// the preview reads the shown page on the window's thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <QRectF>
#include <QSizeF>

#include "platform/emf/player/text_layout.h"

namespace qrp {

class TMetafile;

// A page's words with the page's extent in the words' units.
struct TPageTextEntry {
    emf::TPageText Text;
    QSizeF Extent;

    // Text and extent of a recording (ReadPageText, PageTextExtent).
    static std::shared_ptr<const TPageTextEntry> Read(const TMetafile& page);
    // What the entry holds, roughly, in bytes.
    std::size_t Bytes() const;
    // A box in the words' units as fractions of the page's width and height.
    QRectF Fraction(const QRectF& box) const;
};

class TPageTextCache {
public:
    static constexpr std::size_t kDefaultBudgetBytes = 32U * 1024 * 1024;
    // Supplies page n's recording, or none; may raise for a page that cannot be read.
    using TRecordingFetch = std::function<std::shared_ptr<const TMetafile>()>;

    explicit TPageTextCache(std::size_t budgetBytes = kDefaultBudgetBytes) : Budget(budgetBytes) {}

    // The document's generation: Clear starts a new one.
    std::uint64_t Generation() const;
    void Clear();

    // Page n's words, read through fetch when not kept. None when fetch
    // supplies no recording, or when generation is no longer the cache's (the
    // caller works for a document that has gone). Exceptions of fetch pass.
    std::shared_ptr<const TPageTextEntry> Text(std::int32_t page, std::uint64_t generation,
                                               const TRecordingFetch& fetch);

    std::size_t PagesKept() const;
    std::size_t BytesKept() const;

private:
    struct TKept {
        std::shared_ptr<const TPageTextEntry> Entry;
        std::size_t Bytes;
        std::list<std::int32_t>::iterator Use;
    };
    void Keep(std::int32_t page, std::shared_ptr<const TPageTextEntry> entry);

    mutable std::mutex Lock;
    std::size_t Budget;
    std::size_t Used = 0;
    std::uint64_t Current = 1;
    std::unordered_map<std::int32_t, TKept> Pages;
    std::list<std::int32_t> Uses;  // most recently used first
};

}  // namespace qrp
