#pragma once
#include <QIcon>
#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>

namespace qurix {

// The icons a list made last, at most so many: the one asked for longest ago goes first.
// A list shows a screenful of items, so icons made for each item it ever showed would
// only hold memory.
class CIconCache {
public:
    explicit CIconCache(size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

    // The icon kept for key, now the latest asked for; null when none is kept.
    const QIcon* Find(int key);
    // Keeps icon for key, dropping the oldest when full.
    const QIcon& Put(int key, QIcon icon);
    void Clear();
    size_t Size() const { return icons_.size(); }
    size_t Capacity() const { return capacity_; }
    // Fewer may drop the oldest at once.
    void SetCapacity(size_t capacity);

private:
    using Order = std::list<std::pair<int, QIcon>>;  // the latest asked for first
    void Trim();

    size_t capacity_;
    Order order_;
    std::unordered_map<int, Order::iterator> icons_;
};

}  // namespace qurix
