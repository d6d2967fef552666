#pragma once

// A move-only owner of one COM interface pointer: releases it when replaced or destroyed.

#include <windows.h>

#include <unknwn.h>

#include <utility>

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* pointer) : m_pointer(pointer) {}
    ~ComPtr() { Reset(); }

    ComPtr(ComPtr&& other) noexcept : m_pointer(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For an out-parameter: releases what is held and hands out the empty slot.
    T** Put() {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Detach() { return std::exchange(m_pointer, nullptr); }
    void Reset(T* pointer = nullptr) {
        if (T* old = std::exchange(m_pointer, pointer))
            old->Release();
    }

    // Another interface of the same object; empty when the object does not offer it.
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> other;
        if (m_pointer)
            m_pointer->QueryInterface(__uuidof(U), other.PutVoid());
        return other;
    }

  private:
    T* m_pointer = nullptr;
};

// Creates an in-process object and asks it for T; empty on failure, with the result in *result.
template <typename T>
ComPtr<T> CreateComObject(REFCLSID classId, HRESULT* result = nullptr) {
    ComPtr<T> object;
    const HRESULT hr =
        ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, __uuidof(T), object.PutVoid());
    if (result)
        *result = hr;
    if (FAILED(hr))
        object.Reset();
    return object;
}
