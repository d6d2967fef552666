// The cost of one scheduler tick with a long schedule, against a baseline measured in the same run.
//
// The tick runs every second on the user-interface thread, so its cost with many entries must stay
// close to its cost with one. Four situations are timed, each with 1 entry and with 10,000:
//   idle      nothing is due: the tick only reads the first entry and decides on a warning
//   one-shot  one entry is due, performed and removed
//   re-arm    one repeating entry is due, performed and moved to its next time (the list re-sorts)
//   add       not the tick: one Add into the list, which places the entry and re-announces
// Each time is the best of several runs of many ticks, per tick. `vs 1` is the time with 10,000
// entries over the time with one; `vs pass` relates it to one plain pass over 10,000 entries (reading
// each due time), the least any work proportional to the list can cost.
//
//   tick_bench [--runs N] [--entries N] [--check]
//     --check: exit 1 when a tick with 10,000 entries costs more than the limits below

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scheduler/core/action_texts.h"
#include "scheduler/core/crt_clock.h"
#include "scheduler/core/power_action.h"
#include "scheduler/core/scheduler.h"

namespace {

using Clock = std::chrono::steady_clock;

// An idle tick may cost at most this many times the tick with one entry, and a tick that performs
// an entry at most this many plain passes over the list: linear work is accepted, anything growing
// faster is not.
constexpr double kIdleLimit = 3.0;
constexpr double kPassLimit = 40.0;

class BenchClock : public IClock {
  public:
    int64_t now = 1'750'000'000;
    int64_t Now() const override { return now; }
    std::optional<LocalTime> ToLocal(int64_t time) const override { return m_crt.ToLocal(time); }
    std::optional<int64_t> FromLocal(const LocalTime& local) const override { return m_crt.FromLocal(local); }

  private:
    CCrtClock m_crt;
};

class Strings : public IStringTable {
  public:
    std::wstring Load(uint32_t id) const override { return id == 128 ? L"Tivolan" : L"$2 in $1 minutes."; }
};

class Quiet : public ITimeFormatter,
              public ITrayWindow,
              public IToast,
              public IConfirmation,
              public IPowerActions,
              public IProgramLauncher {
  public:
    size_t performed = 0;
    std::wstring FormatTimeOfDay(int hour, int minute) const override {
        return std::to_wstring(hour) + L":" + std::to_wstring(minute);
    }
    void EnableMainWindow(bool) override {}
    void ShowAlarm(const std::wstring&) override {}
    void SetTooltip(const std::wstring&) override {}
    void Show(const std::wstring&, const std::wstring&, uint32_t, uint32_t, CToastLink*) override {}
    bool Confirm(int32_t) override { return true; }
    bool Perform(int32_t) override {
        ++performed;
        return true;
    }
    bool Start(const std::wstring&) override { return true; }
};

// One scheduler with its settings and services.
struct Rig {
    BenchClock clock;
    Strings strings;
    CActionTexts texts{strings};
    Quiet quiet;
    CSettings settings;
    CScheduler scheduler{settings, strings, texts,
                         SchedulerServices{clock, quiet, quiet, quiet, quiet, quiet, quiet}};
};

constexpr int64_t kInterval = 24 * 3600;

// `entries` repeating tasks of one interval, added a second apart, so their due times follow one
// another a second apart and each tick from the first due time on finds exactly one entry due.
std::unique_ptr<Rig> RepeatingRig(size_t entries) {
    auto rig = std::make_unique<Rig>();
    for (size_t i = 0; i < entries; ++i) {
        rig->settings.AddTask(
            {static_cast<int32_t>(kInterval), TimeKind::After, PowerAction::DisplayOff, L""});
        rig->scheduler.AddStoredTask(i);
        ++rig->clock.now;
    }
    return rig;
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Best over the runs of the average time of one call of `timed` over `count` calls; `untimed` runs
// before each call, outside the clock.
double BestPerCall(int runs,
                   int count,
                   const std::function<void()>& untimed,
                   const std::function<void()>& timed) {
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        double total = 0;
        for (int i = 0; i < count; ++i) {
            if (untimed)
                untimed();
            const auto start = Clock::now();
            timed();
            total += Since(start);
        }
        best = std::min(best, total / count);
    }
    return best;
}

double Idle(size_t entries, int runs) {
    auto rig = RepeatingRig(entries);
    rig->scheduler.Tick();  // the first tick only records the time left
    return BestPerCall(runs, 2000, nullptr, [&] { rig->scheduler.Tick(); });
}

double OneShot(size_t entries, int runs) {
    auto rig = RepeatingRig(entries);
    const size_t before = rig->quiet.performed;
    const double time = BestPerCall(
        runs, 200, [&] { rig->scheduler.Add(TimeKind::After, 0, PowerAction::DisplayOff, L"", false); },
        [&] { rig->scheduler.Tick(); });
    if (rig->quiet.performed - before != static_cast<size_t>(runs) * 200 ||
        rig->scheduler.Entries().size() != entries) {
        std::fprintf(stderr, "one-shot: the entries were not performed and removed\n");
        std::exit(2);
    }
    return time;
}

double Rearm(size_t entries, int runs) {
    auto rig = RepeatingRig(entries);
    // The clock moves to the first entry's due time; with many entries that is one second on.
    const double time = BestPerCall(
        runs, 200, [&] { rig->clock.now = rig->scheduler.Entries().front().due; },
        [&] { rig->scheduler.Tick(); });
    if (rig->quiet.performed != static_cast<size_t>(runs) * 200 ||
        rig->scheduler.Entries().size() != entries) {
        std::fprintf(stderr, "re-arm: the entries were not performed and kept\n");
        std::exit(2);
    }
    return time;
}

double AddOne(size_t entries, int runs) {
    auto rig = RepeatingRig(entries);
    // Each Add is undone outside the clock by removing the one-shot entry again.
    return BestPerCall(
        runs, 200,
        [&] {
            if (rig->scheduler.Entries().size() > entries)
                rig->scheduler.Remove(rig->scheduler.Entries().size() - 1);
        },
        [&] { rig->scheduler.Add(TimeKind::After, 10 * kInterval, PowerAction::DisplayOff, L"", false); });
}

// One plain pass over the entries, reading each due time.
double Pass(size_t entries, int runs) {
    auto rig = RepeatingRig(entries);
    volatile int64_t sink = 0;
    return BestPerCall(runs, 2000, nullptr, [&] {
        int64_t sum = 0;
        for (const ScheduleEntry& entry : rig->scheduler.Entries())
            sum += entry.due;
        sink = sink + sum;
    });
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    size_t entries = 10'000;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--entries") && i + 1 < argc)
            entries = static_cast<size_t>(std::max(2, std::atoi(argv[++i])));
        else if (!std::strcmp(argv[i], "--check"))
            check = true;
    }

    const double pass = Pass(entries, runs);
    struct Case {
        const char* name;
        double (*measure)(size_t, int);
        bool isTick;
        bool idle;
    };
    const Case cases[] = {
        {"idle", Idle, true, true},
        {"one-shot due, removed", OneShot, true, false},
        {"repeating due, re-armed", Rearm, true, false},
        {"add (not a tick)", AddOne, false, false},
    };
    std::printf("plain pass over %zu entries: %.2f us\n\n", entries, pass * 1e6);
    std::printf("%-26s %12s %14s %8s %8s\n", "case", "1 entry us", "N entries us", "vs 1", "vs pass");
    bool within = true;
    for (const Case& c : cases) {
        const double one = c.measure(1, runs);
        const double many = c.measure(entries, runs);
        const double ratio = many / one;
        const double passes = many / pass;
        bool ok = true;
        if (c.isTick)
            ok = c.idle ? ratio <= kIdleLimit : passes <= kPassLimit;
        within = within && ok;
        std::printf("%-26s %12.3f %14.3f %8.1f %8.1f%s\n", c.name, one * 1e6, many * 1e6, ratio, passes,
                    ok ? "" : "  TOO SLOW");
    }
    std::printf("\nvs 1: the time with N entries over the time with one; vs pass: over one plain pass\n");
    std::printf("limits: idle tick %.0fx the one-entry tick; a tick that performs an entry %.0f passes\n",
                kIdleLimit, kPassLimit);
    return check && !within ? 1 : 0;
}
