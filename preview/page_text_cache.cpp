#include "preview/page_text_cache.h"

#include "platform/emf/metafile.h"
#include "preview/page_text_source.h"

namespace qrp {

std::shared_ptr<const TPageTextEntry> TPageTextCache::Text(std::int32_t page, std::uint64_t generation,
                                                           const TRecordingFetch& fetch)
{
    {
        std::lock_guard guard(Lock);
        if (generation != Current)
            return nullptr;
        if (auto found = Pages.find(page); found != Pages.end()) {
            Uses.splice(Uses.begin(), Uses, found->second.Use);
            return found->second.Entry;
        }
    }
    // Read without the lock: another thread may read another page meanwhile.
    const std::shared_ptr<const TMetafile> recording = fetch();
    if (!recording)
        return nullptr;
    std::shared_ptr<const TPageTextEntry> entry = TPageTextEntry::Read(*recording);
    std::lock_guard guard(Lock);
    if (generation != Current)
        return nullptr;
    if (auto found = Pages.find(page); found != Pages.end())
        return found->second.Entry;  // read by another thread meanwhile
    Keep(page, entry);
    return entry;
}

void TPageTextCache::Keep(std::int32_t page, std::shared_ptr<const TPageTextEntry> entry)
{
    const std::size_t bytes = entry->Bytes();
    // A page larger than the whole budget is handed out but not kept.
    if (bytes > Budget)
        return;
    while (Used + bytes > Budget && !Uses.empty()) {
        const auto oldest = Pages.find(Uses.back());
        Used -= oldest->second.Bytes;
        Pages.erase(oldest);
        Uses.pop_back();
    }
    Uses.push_front(page);
    Pages.emplace(page, TKept {std::move(entry), bytes, Uses.begin()});
    Used += bytes;
}

std::uint64_t TPageTextCache::Generation() const
{
    std::lock_guard guard(Lock);
    return Current;
}

void TPageTextCache::Clear()
{
    std::lock_guard guard(Lock);
    ++Current;
    Pages.clear();
    Uses.clear();
    Used = 0;
}

std::size_t TPageTextCache::PagesKept() const
{
    std::lock_guard guard(Lock);
    return Pages.size();
}

std::size_t TPageTextCache::BytesKept() const
{
    std::lock_guard guard(Lock);
    return Used;
}

std::shared_ptr<const TPageTextEntry> TPageTextEntry::Read(const TMetafile& page)
{
    auto entry = std::make_shared<TPageTextEntry>();
    entry->Text = ReadPageText(page);
    entry->Extent = PageTextExtent(page);
    return entry;
}

std::size_t TPageTextEntry::Bytes() const
{
    std::size_t bytes = sizeof(TPageTextEntry);
    for (const emf::TTextLine& line : Text.Lines) {
        bytes += sizeof(emf::TTextLine);
        for (const emf::TTextWord& word : line.Words)
            bytes += sizeof(emf::TTextWord) + static_cast<std::size_t>(word.Text.capacity()) * sizeof(QChar);
    }
    return bytes;
}

QRectF TPageTextEntry::Fraction(const QRectF& box) const
{
    // An extent of no size (never read so) leaves boxes as they are rather than dividing by zero.
    const double width = Extent.width() > 0 ? Extent.width() : 1;
    const double height = Extent.height() > 0 ? Extent.height() : 1;
    return {box.x() / width, box.y() / height, box.width() / width, box.height() / height};
}

}  // namespace qrp
