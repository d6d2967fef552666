#pragma once

// Tivolan's languages and dialogs for its resource tests, with the helpers both programs' tests share.

#include "resource_test_support.h"
#include "scheduler/res/resource.h"

constexpr LANGID kLanguages[] = {kEnglish, kKorean, kGreek};
constexpr UINT kDialogs[] = {IDD_MAIN, IDD_HOME, IDD_SCHEDULE, IDD_OPTIONS, IDD_TIMEOUT, IDD_SET_ALARM};
