#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "model/ItemArray.h"

// A bounded list of references to model objects that live elsewhere (a feature's files, folders and
// registry items). The list owns nothing and leaves the objects' positions alone; a full list refuses
// further entries.
template <typename T>
class CRefList {
public:
    using Match = std::function<bool(const T*)>;

    explicit CRefList(size_t capacity) : capacity_(capacity) {}

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    size_t Capacity() const { return capacity_; }
    bool IsFull() const { return items_.size() >= capacity_; }
    T* operator[](size_t index) const { return items_[index]; }
    typename std::vector<T*>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T*>::const_iterator end() const { return items_.end(); }

    // Appends a reference; false (nothing added) for none or when the list is full.
    bool Add(T* item) {
        if (item == nullptr || IsFull()) {
            return false;
        }
        items_.push_back(item);
        return true;
    }

    bool Contains(const T* item) const {
        return std::find(items_.begin(), items_.end(), item) != items_.end();
    }
    bool Any(const Match& matches) const { return std::any_of(items_.begin(), items_.end(), matches); }

    // Takes out every matching entry; the entries behind move up.
    void RemoveIf(const Match& matches) {
        items_.erase(std::remove_if(items_.begin(), items_.end(), matches), items_.end());
    }
    void Remove(const T* item) {
        RemoveIf([item](const T* entry) { return entry == item; });
    }
    void Clear() { items_.clear(); }

private:
    size_t capacity_;
    std::vector<T*> items_;
};
