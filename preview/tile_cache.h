#pragma once
// The rendered tiles kept for painting, within a fixed number of bytes: a new
// tile pushes out the tiles used longest ago.

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <utility>
#include <vector>

#include <QImage>

#include "preview/tile_grid.h"

namespace qrp {

class TTileCache {
public:
    explicit TTileCache(std::size_t budgetBytes) : Budget(budgetBytes) {}

    // The tile, marked as just used; none when it is not held.
    const QImage* Find(const TTileKey& key);
    bool Holds(const TTileKey& key) const { return Index.contains(key); }
    // Keeps the tile as the one used last, replacing one of the same key,
    // after letting go of the tiles used longest ago until it fits the budget
    // (a tile larger than the budget only lets go of the one it replaces).
    void Insert(const TTileKey& key, QImage tile);
    void RemoveIf(const std::function<bool(const TTileKey&)>& unwanted);

    std::size_t Bytes() const { return Held; }
    // The most bytes held at any time.
    std::size_t PeakBytes() const { return Peak; }
    std::size_t BudgetBytes() const { return Budget; }
    // The keys held, the one used last first.
    std::vector<TTileKey> Keys() const;

private:
    using TEntries = std::list<std::pair<TTileKey, QImage>>;
    static std::size_t Cost(const QImage& tile);
    void Erase(TEntries::iterator entry);

    std::size_t Budget;
    std::size_t Held = 0;
    std::size_t Peak = 0;
    TEntries Entries;  // used last first
    std::map<TTileKey, TEntries::iterator> Index;
};

}  // namespace qrp
