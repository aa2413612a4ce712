#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/TreeArchive.h"

// The most elements any list of the model can hold. The archive format numbers list elements and file
// references with signed 32-bit integers (positions, ".Size" counts), so no list can have more. Capacities
// are limits, never reservations: a list takes memory only for the elements it holds.
constexpr size_t kArchiveListCapacity = 0x7FFFFFFF;

// A bounded list of owned model objects. Every element knows its own place in the list through its
// `position` field, which the list keeps right as elements are added and removed. A full list refuses a
// new element: the element is handed back to the caller, never stored past the capacity.
template <typename T>
class CItemArray {
public:
    explicit CItemArray(size_t capacity) : capacity_(capacity) {}
    CItemArray(const CItemArray&) = delete;
    CItemArray& operator=(const CItemArray&) = delete;

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    size_t Capacity() const { return capacity_; }
    bool IsFull() const { return items_.size() >= capacity_; }

    T* operator[](size_t index) const { return items_[index].get(); }
    // The element at a position, or nullptr when the position lies outside the list.
    T* At(long position) const {
        return position >= 0 && static_cast<size_t>(position) < items_.size() ? items_[position].get()
                                                                              : nullptr;
    }

    // Appends an element and sets its position. Returns the element, or nullptr when the list is full (the
    // element is then deleted).
    T* Add(std::unique_ptr<T> item) {
        if (IsFull()) {
            return nullptr;
        }
        item->position = static_cast<int>(items_.size());
        items_.push_back(std::move(item));
        return items_.back().get();
    }

    // Deletes the element at a position; the elements behind it move down one place.
    void RemoveAt(size_t index) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        Renumber(index);
    }

    // Takes a given element out of the list without deleting it: the caller owns it, its position is -1
    // and the elements behind it move down one place. nullptr when it is not in the list.
    std::unique_ptr<T> Take(const T* item) {
        if (!Holds(item)) {
            return nullptr;
        }
        const size_t index = static_cast<size_t>(item->position);
        std::unique_ptr<T> taken = std::move(items_[index]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        Renumber(index);
        taken->position = -1;
        return taken;
    }

    // Deletes a given element of this list; false when it is not in the list.
    bool Remove(const T* item) {
        if (!Holds(item)) {
            return false;
        }
        RemoveAt(static_cast<size_t>(item->position));
        return true;
    }

    bool Holds(const T* item) const {
        return item != nullptr && item->position >= 0 &&
               static_cast<size_t>(item->position) < items_.size() &&
               items_[static_cast<size_t>(item->position)].get() == item;
    }

    // Swaps the elements at two positions (the order of a list that is a run order); false when either
    // position lies outside the list.
    bool Swap(size_t first, size_t second) {
        if (first >= items_.size() || second >= items_.size()) {
            return false;
        }
        std::swap(items_[first], items_[second]);
        items_[first]->position = static_cast<int>(first);
        items_[second]->position = static_cast<int>(second);
        return true;
    }

    void Clear() { items_.clear(); }

    class Iterator {
    public:
        using Inner = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit Iterator(Inner inner) : inner_(inner) {}
        T* operator*() const { return inner_->get(); }
        Iterator& operator++() {
            ++inner_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return inner_ != other.inner_; }

    private:
        Inner inner_;
    };
    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

    // The array convention of the archive format: an object named by the list's key holding one object
    // per element, named "Arr%d" with the element's number. serializeElement(element, elementKey) runs the
    // element's own Serialize.
    //
    // Storing: elements for which skip() is true are left out, and the stored elements are numbered
    // without gaps, so that a reader finds every one of them. Loading: the list is emptied and refilled
    // with as many elements as the object holds, up to the capacity; a missing object leaves the list
    // as it was. Returns whether the list's object was there.
    bool Exchange(CTreeArchive& ar, const char* key,
                  const std::function<void(T&, const std::string&)>& serializeElement,
                  const std::function<bool(const T&)>& skip = nullptr) {
        if (!ar.BeginObject(key)) {
            return false;
        }
        if (ar.IsStoring()) {
            int number = 0;
            for (const auto& item : items_) {
                if (!skip || !skip(*item)) {
                    serializeElement(*item, ElementKey(number++));
                }
            }
        } else {
            const int count = ar.ChildCount();
            Clear();
            for (int i = 0; i < count && !IsFull(); ++i) {
                auto item = std::make_unique<T>();
                serializeElement(*item, ElementKey(i));
                Add(std::move(item));
            }
        }
        ar.EndObject();
        return true;
    }

private:
    static std::string ElementKey(int number) {
        return "Arr" + std::to_string(number);
    }

    void Renumber(size_t from) {
        for (size_t i = from; i < items_.size(); ++i) {
            items_[i]->position = static_cast<int>(i);
        }
    }

    size_t capacity_;
    std::vector<std::unique_ptr<T>> items_;
};
