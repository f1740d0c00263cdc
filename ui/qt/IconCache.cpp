#include "ui/qt/IconCache.h"

namespace qurix {

const QIcon* CIconCache::Find(int key) {
    const auto found = icons_.find(key);
    if (found == icons_.end()) return nullptr;
    order_.splice(order_.begin(), order_, found->second);
    return &found->second->second;
}

const QIcon& CIconCache::Put(int key, QIcon icon) {
    const auto found = icons_.find(key);
    if (found != icons_.end()) {
        found->second->second = std::move(icon);
        order_.splice(order_.begin(), order_, found->second);
        return order_.front().second;
    }
    order_.emplace_front(key, std::move(icon));
    icons_.emplace(key, order_.begin());
    Trim();
    return order_.front().second;
}

void CIconCache::Clear() {
    order_.clear();
    icons_.clear();
}

void CIconCache::SetCapacity(size_t capacity) {
    capacity_ = capacity < 1 ? 1 : capacity;
    Trim();
}

void CIconCache::Trim() {
    while (order_.size() > capacity_) {
        icons_.erase(order_.back().first);
        order_.pop_back();
    }
}

}  // namespace qurix
