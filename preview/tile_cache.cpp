#include "preview/tile_cache.h"

#include <algorithm>
#include <iterator>

namespace qrp {

// Every entry costs a little besides its pixels, so that the budget bounds
// the number of entries too (a tile that could not be drawn has no pixels).
std::size_t TTileCache::Cost(const QImage& tile)
{
    constexpr std::size_t kEntryOverhead = 256;
    return static_cast<std::size_t>(tile.sizeInBytes()) + kEntryOverhead;
}

const QImage* TTileCache::Find(const TTileKey& key)
{
    const auto found = Index.find(key);
    if (found == Index.end())
        return nullptr;
    Entries.splice(Entries.begin(), Entries, found->second);
    return &found->second->second;
}

void TTileCache::Insert(const TTileKey& key, QImage tile)
{
    if (const auto found = Index.find(key); found != Index.end())
        Erase(found->second);
    // Room is made first, so the bytes held never pass the budget; a tile
    // larger than the whole budget is not kept.
    const std::size_t cost = Cost(tile);
    if (cost > Budget)
        return;
    while (!Entries.empty() && Held + cost > Budget)
        Erase(std::prev(Entries.end()));
    Held += cost;
    Entries.emplace_front(key, std::move(tile));
    Index.emplace(key, Entries.begin());
    Peak = std::max(Peak, Held);
}

void TTileCache::RemoveIf(const std::function<bool(const TTileKey&)>& unwanted)
{
    for (auto entry = Entries.begin(); entry != Entries.end();) {
        const auto next = std::next(entry);
        if (unwanted(entry->first))
            Erase(entry);
        entry = next;
    }
}

std::vector<TTileKey> TTileCache::Keys() const
{
    std::vector<TTileKey> keys;
    keys.reserve(Entries.size());
    for (const auto& [key, tile] : Entries)
        keys.push_back(key);
    return keys;
}

void TTileCache::Erase(TEntries::iterator entry)
{
    Held -= Cost(entry->second);
    Index.erase(entry->first);
    Entries.erase(entry);
}

}  // namespace qrp
