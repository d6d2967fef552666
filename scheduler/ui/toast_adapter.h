#pragma once

// The scheduler's notice channel, shown by a toast window (the process's own unless told otherwise).

#include "scheduler/core/scheduler_services.h"

class CToastWindow;

class CToastAdapter : public IToast {
  public:
    CToastAdapter();
    explicit CToastAdapter(CToastWindow& window) : m_window(window) {}

    void Show(const std::wstring& text,
              const std::wstring& title,
              uint32_t displayMilliseconds,
              uint32_t iconGroup,
              CToastLink* link) override;

  private:
    CToastWindow& m_window;
};

// The scheduler's notice channel of the process: the process's toast window.
IToast& ToastService();
