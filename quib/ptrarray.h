// PtrArray: the growable, ordered list of T pointers that every deliverable keeps its lists in. The
// storage doubles when full and is never shrunk. The cursor is free for owners to iterate with; Remove
// keeps it in step so that "for (cursor = 0; cursor < count; cursor++)" with removals skips nothing
// (it can become -1 when the first item is removed, and the loop's ++ brings it back to 0).
// The list owns its items only through DeleteAll and Reset; its destructor frees the slots alone.
// One header for the engine and the programs, so that every instance has the same members. The
// accessors that leave their index unchecked by contract assert it in builds with assertions (the
// sanitizer build): a bad index there is a fault of the caller, never a case to handle.
#pragma once

#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

template <class T> class PtrArray {
  public:
    int count = 0;    // items in use: slots 0 .. count - 1
    int capacity = 0; // slots allocated
    int cursor = 0;   // owners' iteration position
    T** items = nullptr;

    explicit PtrArray(int initialCapacity = 1) { Init(initialCapacity); }
    ~PtrArray() { std::free(items); }
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    // Starts over with n empty slots (none for n <= 0), count and cursor 0. Items are not deleted.
    void Init(int n) {
        std::free(items);
        items = nullptr;
        capacity = 0;
        count = 0;
        cursor = 0;
        if (n > 0) {
            items = static_cast<T**>(std::calloc(static_cast<size_t>(n), sizeof(T*)));
            if (items) capacity = n;
        }
    }

    // Enlarges the storage to n slots, the new ones NULL; does nothing when n <= capacity (or when
    // memory runs out). Count and cursor are unchanged.
    void Grow(int n) {
        if (n <= capacity) return;
        T** grown = static_cast<T**>(std::calloc(static_cast<size_t>(n), sizeof(T*)));
        if (!grown) return;
        if (items) std::memcpy(grown, items, static_cast<size_t>(capacity) * sizeof(T*));
        std::free(items);
        items = grown;
        capacity = n;
    }

    // Appends p, doubling the storage when full (to 1 slot for an empty one). Returns p, or NULL when
    // memory ran out and nothing was added.
    T* Add(T* p) {
        if (count == capacity && capacity <= INT_MAX / 2) Grow(capacity > 0 ? capacity * 2 : 1);
        if (count == capacity) return nullptr;
        items[count++] = p;
        return p;
    }

    // Removes the first slot equal to p, keeping the order of the rest and clearing the freed last slot.
    // A removal at or before the cursor moves the cursor back by one. Not found: nothing changes.
    void Remove(T* p) {
        int k = IndexOf(p);
        if (k < 0) return;
        for (int i = k; i < count - 1; i++)
            items[i] = items[i + 1];
        items[--count] = nullptr;
        if (k <= cursor) cursor--;
    }

    // p when it is in the list (compared by address), else NULL.
    T* Find(T* p) const { return IndexOf(p) >= 0 ? p : nullptr; }

    int GetCount() const { return count; }

    // The item in slot i; i is not checked (asserted to lie in 0 .. count - 1).
    T* GetAt(int i) const {
        assert(i >= 0 && i < count);
        return items[i];
    }

    // Deletes every item (its destructor runs) and empties the list; count and cursor become 0.
    void DeleteAll() {
        static_assert(!std::is_void_v<T>, "DeleteAll needs a complete item type");
        for (int i = 0; i < count; i++) {
            delete items[i];
            items[i] = nullptr;
        }
        count = 0;
        cursor = 0;
    }

    // Makes the list n long (grown when needed, never below 0 or above the storage); slots that come into
    // use are NULL. The cursor is unchanged.
    void SetCount(int n) {
        if (n < 0) n = 0;
        Grow(n);
        if (n > capacity) n = capacity;
        for (int i = count; i < n; i++)
            items[i] = nullptr;
        count = n;
    }

    // Stores p in slot index, growing the storage to exactly index + 1 slots when it is smaller. The
    // count is not changed. Returns p, or NULL for a negative index or when memory ran out.
    T* SetAt(T* p, int index) {
        if (index < 0) return nullptr;
        if (capacity < index + 1) Grow(index + 1);
        if (capacity < index + 1) return nullptr;
        items[index] = p;
        return p;
    }

    // Stores p in slot index; neither checked (asserted to lie within the storage) nor grown.
    T* SetAtUnchecked(int index, T* p) {
        assert(index >= 0 && index < capacity);
        items[index] = p;
        return p;
    }

    // The item in slot index, or NULL when index is outside 0 .. count - 1.
    T* Lookup(int index) const { return (index >= 0 && index < count) ? items[index] : nullptr; }

    // Empties the slots in use without deleting their items; count and cursor unchanged.
    void ZeroSlots() {
        for (int i = 0; i < count; i++)
            items[i] = nullptr;
    }

    // Empties every slot of the storage without deleting the items (the owner deletes them first);
    // count becomes 0, the cursor is unchanged.
    void Clear() {
        for (int i = 0; i < capacity; i++)
            items[i] = nullptr;
        count = 0;
    }

    // The same as DeleteAll.
    void Reset() { DeleteAll(); }

  private:
    int IndexOf(const T* p) const {
        for (int i = 0; i < count; i++)
            if (items[i] == p) return i;
        return -1;
    }
};
