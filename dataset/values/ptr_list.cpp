#include "dataset/values/ptr_list.h"

#include <climits>
#include <cstdlib>

Kt_ObjBufPool::Kt_ObjBufPool(std::size_t elementSize) noexcept
    : m_size(elementSize < sizeof(Spare) ? sizeof(Spare) : elementSize) {}

Kt_ObjBufPool::~Kt_ObjBufPool() {
  while (m_spare) {
    Spare* next = m_spare->next;
    std::free(m_spare);
    m_spare = next;
  }
}

// The count read before locking is only a hint: while a large list is built the pool is empty,
// and while one is destroyed it is full, and neither case needs the lock. A stale hint costs no
// more than a heap call that a spare could have saved.
void* Kt_ObjBufPool::Take() noexcept {
  if (m_spareCount.load(std::memory_order_relaxed) > 0) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_spare) {
      Spare* storage = m_spare;
      m_spare = storage->next;
      m_spareCount.store(m_spareCount.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
      return storage;
    }
  }
  return std::malloc(m_size);
}

void Kt_ObjBufPool::Give(void* storage) noexcept {
  if (!storage) return;
  if (m_spareCount.load(std::memory_order_relaxed) < kMaxSpare) {
    std::lock_guard<std::mutex> lock(m_lock);
    const std::size_t count = m_spareCount.load(std::memory_order_relaxed);
    if (count < kMaxSpare) {
      auto* spare = static_cast<Spare*>(storage);
      spare->next = m_spare;
      m_spare = spare;
      m_spareCount.store(count + 1, std::memory_order_relaxed);
      return;
    }
  }
  std::free(storage);
}

std::size_t Kt_ObjBufPool::SpareCount() const noexcept {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_spareCount.load(std::memory_order_relaxed);
}

void* Kt_ListObjHandler::NewElement() noexcept {
  void* storage = m_pool.Take();
  return storage ? Construct(storage) : nullptr;
}

void* Kt_ListObjHandler::CloneElement(const void* source) noexcept {
  if (!source) return nullptr;
  void* element = NewElement();
  if (element && !Copy(element, source)) {
    DeleteElement(element);
    return nullptr;
  }
  return element;
}

void Kt_ListObjHandler::DeleteElement(void* element) noexcept {
  if (!element) return;
  Destroy(element);
  m_pool.Give(element);
}

bool Kt_PtrList::InsertSlot(int index, void* element) noexcept {
  if (m_items.size() >= static_cast<std::size_t>(INT_MAX)) return false;
  try {
    m_items.insert(m_items.begin() + index, element);
  } catch (...) {
    return false;
  }
  return true;
}

int Kt_PtrList::LowerBound(const void* key, bool& found) const noexcept {
  int low = 0;
  int high = Count();
  found = false;
  while (low < high) {
    int middle = low + (high - low) / 2;
    const void* element = m_items[static_cast<std::size_t>(middle)];
    int order = element ? m_handler->Compare(element, key) : -1;
    if (order < 0) {
      low = middle + 1;
    } else {
      if (order == 0) found = true;
      high = middle;
    }
  }
  return low;
}

int Kt_PtrList::Add(const void* value) noexcept {
  if (!value) return -1;
  if (m_sorted) {
    bool found = false;
    int index = LowerBound(value, found);
    if (found) return m_handler->Copy(m_items[static_cast<std::size_t>(index)], value) ? index : -1;
  }
  return Adopt(m_handler->CloneElement(value));
}

int Kt_PtrList::Adopt(void* element) noexcept {
  if (!element) return -1;
  int index = Count();
  if (m_sorted) {
    bool found = false;
    index = LowerBound(element, found);
    if (found) {
      bool copied = m_handler->Copy(m_items[static_cast<std::size_t>(index)], element);
      m_handler->DeleteElement(element);
      return copied ? index : -1;
    }
  }
  if (!InsertSlot(index, element)) {
    m_handler->DeleteElement(element);
    return -1;
  }
  return index;
}

void* Kt_PtrList::AppendNew() noexcept {
  if (m_sorted) return nullptr;
  void* element = m_handler->NewElement();
  return Adopt(element) >= 0 ? element : nullptr;
}

bool Kt_PtrList::AppendEmpty() noexcept { return !m_sorted && InsertSlot(Count(), nullptr); }

int Kt_PtrList::InsertAt(int index, void* element) noexcept {
  if (m_sorted || index < 0 || index > Count() || !InsertSlot(index, element)) {
    m_handler->DeleteElement(element);
    return -1;
  }
  return index;
}

int Kt_PtrList::Find(const void* key) const noexcept {
  if (!key) return -1;
  if (m_sorted) {
    bool found = false;
    int index = LowerBound(key, found);
    return found ? index : -1;
  }
  for (int i = 0; i < Count(); ++i) {
    const void* element = m_items[static_cast<std::size_t>(i)];
    if (element && m_handler->Compare(element, key) == 0) return i;
  }
  return -1;
}

bool Kt_PtrList::RemoveAt(int index) noexcept {
  if (index < 0 || index >= Count()) return false;
  m_handler->DeleteElement(DetachAt(index));
  return true;
}

void* Kt_PtrList::DetachAt(int index) noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  void* element = m_items[static_cast<std::size_t>(index)];
  m_items.erase(m_items.begin() + index);
  return element;
}

void Kt_PtrList::Clear() noexcept {
  // Elements may own lists of the same handler, so the array is taken out before deleting.
  std::vector<void*> items;
  items.swap(m_items);
  for (void* element : items) m_handler->DeleteElement(element);
}

bool Kt_PtrList::CopyFrom(const Kt_PtrList& other) noexcept {
  if (&other == this) return true;
  Clear();
  try {
    m_items.reserve(other.m_items.size());
  } catch (...) {
    return false;
  }
  for (const void* element : other.m_items) {
    void* copy = nullptr;
    if (element) {
      copy = m_handler->CloneElement(element);
      if (!copy) {
        Clear();
        return false;
      }
    }
    m_items.push_back(copy);  // cannot throw: reserved
  }
  return true;
}
