// array.h: Array<T>, a reference to a collected array of fixed length.
//
// An array value is one pointer to its representation; copies share it. Elements start as 0,
// false, null or the empty string. An empty array of each element type is one static
// representation in the collector's static colour, so an array reference is never null and empty
// arrays cost nothing. Arrays never grow.
// Depends on: gc.h, string.h. Single-threaded.
#pragma once

#include <cstring>
#include <new>
#include <type_traits>

#include "gc.h"
#include "string.h"

template <class T>
class Array {
 public:
  struct Rep : gc_object {
    int length;

    explicit Rep(int n) : length(n) {}
    // The static empty representation.
    Rep(int staticFlags, int n) : gc_object(staticFlags), length(n) {}
    ~Rep() override {
      if constexpr (std::is_same_v<T, String>) {
        for (int i = 0; i < length; ++i) data()[i].~String();
      }
    }
    T* data() { return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + sizeof(Rep)); }
    // Arrays of references mark their elements at once; other arrays hold nothing to mark.
    void mark() override {
      if constexpr (std::is_pointer_v<T>) {
        for (int i = 0; i < length; ++i) gc_mark(data()[i]);
      }
    }
  };
  static_assert(sizeof(Rep) % alignof(T) == 0, "array elements must follow the header aligned");

  // The static empty representation. One spare element keeps data() inside the object, so that
  // the compiler can see that reading no elements from it stays in bounds.
  struct NullRep : Rep {
    T spare{};
    NullRep() : Rep(gc_static_colour, 0) {}
  };
  static NullRep nullRep;

  Array() : rep_(&nullRep) {}
  explicit Array(int length) : rep_(length > 0 ? New(length) : &nullRep) {}
  Array(const T* elements, int length) : Array(length) {
    for (int i = 0; i < length; ++i) rep_->data()[i] = elements[i];
  }

  int Length() const { return rep_->length; }
  T& operator[](int index) const { return rep_->data()[index]; }
  T* Data() const { return rep_->data(); }
  Rep* GetRep() const { return rep_; }
  bool operator==(const Array& other) const { return rep_ == other.rep_; }
  bool operator!=(const Array& other) const { return rep_ != other.rep_; }
  // A new array holding elements from..to-1 (clamped).
  Array Slice(int from, int to) const {
    if (from < 0) from = 0;
    if (to > Length()) to = Length();
    Array result(to > from ? to - from : 0);
    for (int i = from; i < to; ++i) result[i - from] = (*this)[i];
    return result;
  }

 private:
  static Rep* New(int length) {
    void* block = gc_object_alloc(static_cast<int>(sizeof(Rep) + sizeof(T) * length));
    Rep* rep = new (block) Rep(length);
    T* elements = rep->data();
    if constexpr (std::is_same_v<T, String>) {
      for (int i = 0; i < length; ++i) new (&elements[i]) String();
    } else {
      std::memset(static_cast<void*>(elements), 0, sizeof(T) * length);
    }
    return rep;
  }

  Rep* rep_;
};

template <class T>
typename Array<T>::NullRep Array<T>::nullRep;

// Queued marking and the write barrier for array fields and globals.
template <class T>
inline void gc_mark_q(const Array<T>& array) {
  gc_mark_q(static_cast<gc_object*>(array.GetRep()));
}
template <class T>
inline void gc_assign(Array<T>& field, const Array<T>& value) {
  gc_mark_q(value);
  field = value;
}
