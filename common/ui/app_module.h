#pragma once

// The program's module object: its instance handle, the language its dialogs, menus and strings are
// loaded in, and the user-interface thread's message loop. One per process, like the program
// itself; everything here belongs to the user-interface thread.

#include <windows.h>

class CMessageLoop;

class CAppModule {
  public:
    static CAppModule& Instance();

    void Init(HINSTANCE instance, LANGID resourceLanguage);
    void Term();

    HINSTANCE Handle() const { return m_instance; }
    // The language resources are looked up in first (English is the fallback).
    LANGID ResourceLanguage() const { return m_language; }
    void SetResourceLanguage(LANGID language) { m_language = language; }

    // The loop that Run() drives; not owned. Null when none is registered.
    void AddMessageLoop(CMessageLoop* loop) { m_loop = loop; }
    void RemoveMessageLoop() { m_loop = nullptr; }
    CMessageLoop* MessageLoop() const { return m_loop; }

  private:
    CAppModule() = default;

    HINSTANCE m_instance = nullptr;
    LANGID m_language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    CMessageLoop* m_loop = nullptr;
};
