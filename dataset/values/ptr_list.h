#ifndef KT_DATASET_PTR_LIST_H
#define KT_DATASET_PTR_LIST_H

#include <atomic>
#include <cstddef>
#include <mutex>
#include <new>
#include <vector>

// Spare element storage of one element size, reused before new storage is allocated.
// Thread-safe: one handler (and so one pool) serves every list of its element type.
class Kt_ObjBufPool {
 public:
  explicit Kt_ObjBufPool(std::size_t elementSize) noexcept;
  ~Kt_ObjBufPool();
  Kt_ObjBufPool(const Kt_ObjBufPool&) = delete;
  Kt_ObjBufPool& operator=(const Kt_ObjBufPool&) = delete;

  // Storage for one element (suitably aligned for any fundamental type), or null.
  void* Take() noexcept;
  // Gives storage back; it is kept for reuse up to a limit, then freed.
  void Give(void* storage) noexcept;
  std::size_t SpareCount() const noexcept;

 private:
  struct Spare {
    Spare* next;
  };
  static constexpr std::size_t kMaxSpare = 64;
  std::size_t m_size;
  mutable std::mutex m_lock;
  Spare* m_spare = nullptr;
  std::atomic<std::size_t> m_spareCount{0};  // changed under the lock, read before it as a hint
};

// How a Kt_PtrList makes, destroys, copies and orders its elements. One handler class per element
// type (named after the type with the suffix Handler); its virtual operations, in slot order:
// construct in place, destroy in place, copy one element onto another, compare two elements.
class Kt_ListObjHandler {
 public:
  virtual void* Construct(void* storage) noexcept = 0;
  virtual void Destroy(void* element) noexcept = 0;
  // False when the copy could not be completed (out of memory).
  virtual bool Copy(void* target, const void* source) noexcept = 0;
  // Negative, zero or positive. Handlers whose elements have no order report -1 for distinct
  // elements, so lists of them are never kept sorted.
  virtual int Compare(const void* a, const void* b) const noexcept = 0;
  virtual ~Kt_ListObjHandler() = default;

  // A default element in pool storage, or null.
  void* NewElement() noexcept;
  // A copy of `source`, or null.
  void* CloneElement(const void* source) noexcept;
  // Destroys an element made by NewElement or CloneElement and returns its storage.
  void DeleteElement(void* element) noexcept;
  Kt_ObjBufPool& Pool() noexcept { return m_pool; }

 protected:
  explicit Kt_ListObjHandler(std::size_t elementSize) noexcept : m_pool(elementSize) {}

 private:
  Kt_ObjBufPool m_pool;
};

// The handler of one C++ type: default construction, copy assignment, and an order given by
// the derived class.
template <class T>
class Kt_TypedHandler : public Kt_ListObjHandler {
 public:
  static_assert(alignof(T) <= alignof(std::max_align_t), "pool storage is max_align_t aligned");
  Kt_TypedHandler() noexcept : Kt_ListObjHandler(sizeof(T)) {}
  void* Construct(void* storage) noexcept override { return new (storage) T(); }
  void Destroy(void* element) noexcept override { static_cast<T*>(element)->~T(); }
  bool Copy(void* target, const void* source) noexcept override {
    *static_cast<T*>(target) = *static_cast<const T*>(source);
    return true;
  }
};

// A growable array of element pointers that owns its elements through a handler. An unsorted
// list appends; a sorted list keeps the handler's order by binary search and has set
// semantics: adding an element equal to one it holds copies the new value onto that element.
// Indices and counts are ints; -1 reports failure or absence. Entries may be empty (null).
class Kt_PtrList {
 public:
  Kt_PtrList(Kt_ListObjHandler& handler, bool sorted) noexcept : m_handler(&handler), m_sorted(sorted) {}
  ~Kt_PtrList() { Clear(); }
  Kt_PtrList(const Kt_PtrList&) = delete;
  Kt_PtrList& operator=(const Kt_PtrList&) = delete;

  int Count() const noexcept { return static_cast<int>(m_items.size()); }
  bool IsSorted() const noexcept { return m_sorted; }
  Kt_ListObjHandler& Handler() const noexcept { return *m_handler; }

  // The element at `index`; null outside the list or for an empty entry.
  void* At(int index) const noexcept {
    return index >= 0 && index < Count() ? m_items[static_cast<std::size_t>(index)] : nullptr;
  }
  template <class T>
  T* Get(int index) const noexcept {
    return static_cast<T*>(At(index));
  }

  // Adds a copy of `value`; returns its index, or -1.
  int Add(const void* value) noexcept;
  // Takes ownership of an element made by this list's handler (NewElement/CloneElement). In a
  // sorted list holding an equal element, that element receives a copy and `element` is
  // deleted. Returns the index, or -1 (the element is then deleted).
  int Adopt(void* element) noexcept;
  // A new default element at the end of an unsorted list (null for sorted lists or on failure).
  void* AppendNew() noexcept;
  // An empty entry at the end of an unsorted list; false for sorted lists or on failure.
  bool AppendEmpty() noexcept;
  // Inserts an owned element at `index` (0..Count) of an unsorted list; -1 when refused (the
  // element is then deleted).
  int InsertAt(int index, void* element) noexcept;
  // Index of an element comparing equal to `key` (binary search when sorted), or -1. The key is
  // an element of the list's type, never a name: lists of named entries look names up with
  // their own Find (Kt_ParamList::Find), and a name handed to this one does not compile, so it
  // cannot be taken for an element through a Kt_PtrList reference.
  int Find(const void* key) const noexcept;
  int Find(const char* name) const noexcept = delete;
  int Find(char* name) const noexcept = delete;
  // Destroys the element at `index` and closes the gap.
  bool RemoveAt(int index) noexcept;
  // Takes the element at `index` out of the list and hands it to the caller, who deletes it
  // with Handler().DeleteElement.
  void* DetachAt(int index) noexcept;
  void Clear() noexcept;
  // Replaces the contents by copies of the other list's elements (empty entries stay empty).
  bool CopyFrom(const Kt_PtrList& other) noexcept;

 private:
  // Position where `key` belongs in a sorted list; `found` tells whether an equal element is there.
  int LowerBound(const void* key, bool& found) const noexcept;
  bool InsertSlot(int index, void* element) noexcept;

  Kt_ListObjHandler* m_handler;
  bool m_sorted;
  std::vector<void*> m_items;
};

#endif
