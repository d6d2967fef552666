#pragma once

#include <cstdint>

// The enumerators live in a namespace of their own and are always written qualified
// (PowerAction::Sleep, TimeKind::At): unqualified, Sleep would collide with the Win32 function. They
// stay unscoped enumerations because the values travel as plain 32-bit integers.
namespace tivolan {

// The nine things Tivolan can do. The numbers are stored in the registry ("Mode", task records),
// written on command lines ("/M") and index the string and icon tables.
enum PowerAction : int32_t {
    ShutDown = 0,
    Restart = 1,
    Sleep = 2,
    Hibernate = 3,
    DisplayOff = 4,
    ScreenSaver = 5,
    LockWindows = 6,
    Alarm = 7,
    Run = 8,
};

// How a time is given: a countdown ("every" for a task) or a clock time ("daily at" for a task).
// Any value other than 0 counts as At.
enum TimeKind : int32_t {
    After = 0,
    At = 1,
};

}  // namespace tivolan

using tivolan::PowerAction;
using tivolan::TimeKind;
