#pragma once

// Move-only owners for Win32 handles. Each traits type names the empty value and how to release.

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueResource {
  public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : m_value(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Type Get() const { return m_value; }
    bool IsValid() const { return m_value != Traits::Empty(); }
    explicit operator bool() const { return IsValid(); }

    Type Release() { return std::exchange(m_value, Traits::Empty()); }
    void Reset(Type value = Traits::Empty()) {
        Type old = std::exchange(m_value, value);
        if (old != Traits::Empty())
            Traits::Close(old);
    }

  private:
    Type m_value = Traits::Empty();
};

struct HandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};

// Kernel objects: threads, events, processes, files.
using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
// Files and folders from CreateFileW, whose failure value is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
