#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "common/thread/critical_section.h"
#include "common/thread/jthread.h"
#include "common/thread/thread.h"

namespace {

// Runs until released or asked to stop, polling the stop request as the real bodies do.
class PollingBody : public IRunnable {
  public:
    PollingBody() : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~PollingBody() { CloseHandle(m_release); }

    void Run() override {
        ++runs;
        started = true;
        while (!thread->IsStopRequested() && WaitForSingleObject(m_release, 1) == WAIT_TIMEOUT) {
        }
        sawStop = thread->IsStopRequested();
        finished = true;
    }

    void Release() { SetEvent(m_release); }
    void Rearm() {
        ResetEvent(m_release);
        started = false;
        finished = false;
    }
    bool WaitStarted() const {
        for (int i = 0; i < 5000 && !started; ++i)
            Sleep(1);
        return started;
    }

    CWorkerThread* thread = nullptr;
    std::atomic<int> runs{0};
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> sawStop{false};

  private:
    HANDLE m_release;
};

template <typename T>
class WorkerThreadTest : public ::testing::Test {
  protected:
    WorkerThreadTest() { body.thread = &thread; }
    bool StartAndWaitForBody() { return thread.Start() && body.WaitStarted(); }

    PollingBody body;
    T thread{&body};
};

using ThreadTypes = ::testing::Types<CThread, JThread>;
TYPED_TEST_SUITE(WorkerThreadTest, ThreadTypes);

TYPED_TEST(WorkerThreadTest, StartOnARunningThreadFailsAndLeavesItAlone) {
    auto& body = this->body;
    auto& thread = this->thread;
    ASSERT_TRUE(this->StartAndWaitForBody());
    EXPECT_FALSE(thread.Start());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Wait(0));
    EXPECT_FALSE(thread.Wait(20));
    EXPECT_EQ(body.runs, 1);

    body.Release();
    EXPECT_TRUE(thread.Wait(INFINITE));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(body.finished);
    EXPECT_FALSE(body.sawStop);

    // Ended threads can be started again.
    body.Rearm();
    ASSERT_TRUE(this->StartAndWaitForBody());
    body.Release();
    EXPECT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(body.runs, 2);
}

TYPED_TEST(WorkerThreadTest, WaitWithoutAThreadSucceeds) {
    TypeParam thread;
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Wait(0));
    EXPECT_TRUE(thread.Wait(INFINITE));
}

TYPED_TEST(WorkerThreadTest, WaitZeroOnAnEndedThreadSucceedsOnce) {
    auto& body = this->body;
    auto& thread = this->thread;
    body.Release();
    ASSERT_TRUE(thread.Start());
    while (!body.finished)
        Sleep(1);
    // The body has returned; give the thread a moment to end, then a zero wait must see it.
    bool ended = false;
    for (int i = 0; i < 5000 && !ended; ++i) {
        ended = thread.Wait(0);
        if (!ended)
            Sleep(1);
    }
    EXPECT_TRUE(ended);
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Wait(0));
}

TYPED_TEST(WorkerThreadTest, StopRequestEndsThePollingBody) {
    ASSERT_TRUE(this->StartAndWaitForBody());
    this->thread.RequestStop();
    EXPECT_TRUE(this->thread.Wait(10000));
    EXPECT_TRUE(this->body.sawStop);
    // JThread clears the request once it has seen the end; CThread keeps it until the next Start.
    EXPECT_EQ(this->thread.IsStopRequested(), (std::is_same_v<TypeParam, CThread>));
}

TYPED_TEST(WorkerThreadTest, DestroyingWhileTheBodyPollsEndsIt) {
    PollingBody body;
    auto thread = std::make_unique<TypeParam>(&body);
    body.thread = thread.get();
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(body.WaitStarted());
    thread.reset();
    EXPECT_TRUE(body.finished);
    EXPECT_TRUE(body.sawStop);
}

TYPED_TEST(WorkerThreadTest, StartClearsAnEarlierStopRequest) {
    this->thread.RequestStop();
    ASSERT_TRUE(this->StartAndWaitForBody());
    EXPECT_FALSE(this->thread.IsStopRequested());
    this->body.Release();
    EXPECT_TRUE(this->thread.Wait(INFINITE));
    EXPECT_FALSE(this->body.sawStop);
}

// An exception must end the body, not the process.
class ThrowingBody : public IRunnable {
  public:
    void Run() override { throw std::runtime_error("body failed"); }
};

TYPED_TEST(WorkerThreadTest, AnExceptionInTheBodyStaysInTheThread) {
    ThrowingBody body;
    TypeParam thread(&body);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.Wait(10000));
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.Wait(10000));
}

// The shape of the checker's check thread: a CThread whose own Run does the work.
class CountingThread : public CThread {
  public:
    explicit CountingThread(std::atomic<bool>& ended) : m_ended(ended) {}
    ~CountingThread() override { StopAndWait(); }
    void Run() override {
        while (!IsStopRequested())
            ++loops;
        m_ended = true;
    }
    std::atomic<long> loops{0};

  private:
    std::atomic<bool>& m_ended;
};

TEST(CThread, DerivedBodyRunsAndStopsWithItsOwner) {
    std::atomic<bool> ended{false};
    auto thread = std::make_unique<CountingThread>(ended);
    ASSERT_TRUE(thread->Start());
    while (thread->loops == 0)
        Sleep(1);
    EXPECT_FALSE(ended);
    thread.reset();  // asks the loop to stop and joins it
    EXPECT_TRUE(ended);
}

TEST(JThread, StopEventFollowsTheStopRequest) {
    class EventBody : public IRunnable {
      public:
        void Run() override { woke = WaitForSingleObject(stopEvent, 10000) == WAIT_OBJECT_0; }
        HANDLE stopEvent = nullptr;
        std::atomic<bool> woke{false};
    } body;
    JThread thread(&body);
    body.stopEvent = thread.StopEvent();
    ASSERT_NE(thread.StopEvent(), nullptr);
    EXPECT_EQ(WaitForSingleObject(thread.StopEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_TRUE(thread.Start());
    thread.RequestStop();
    EXPECT_EQ(WaitForSingleObject(thread.StopEvent(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_TRUE(body.woke);
    // A completed wait clears both for the next run.
    EXPECT_FALSE(thread.IsStopRequested());
    EXPECT_EQ(WaitForSingleObject(thread.StopEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(JCriticalSection, KeepsReadModifyWriteWhole) {
    class Adder : public IRunnable {
      public:
        Adder(ILockable& lock, volatile long& counter) : m_lock(lock), m_counter(counter) {}
        void Run() override {
            for (int i = 0; i < 200000; ++i) {
                m_lock.Lock();
                const long value = m_counter;
                if ((i & 1023) == 0)
                    SwitchToThread();  // widen the window a race would need
                m_counter = value + 1;
                m_lock.Unlock();
            }
        }

      private:
        ILockable& m_lock;
        volatile long& m_counter;
    };

    JCriticalSection lock;
    volatile long counter = 0;
    Adder a(lock, counter), b(lock, counter);
    JThread ta(&a), tb(&b);
    ASSERT_TRUE(ta.Start());
    ASSERT_TRUE(tb.Start());
    ASSERT_TRUE(ta.Wait(INFINITE));
    ASSERT_TRUE(tb.Wait(INFINITE));
    EXPECT_EQ(counter, 400000);
}

TEST(CLockHolder, ReleasesOnEveryPath) {
    JCriticalSection lock;
    { CLockHolder hold(lock); }
    // Another thread can take it now; it could not if the holder had leaked it.
    class Taker : public IRunnable {
      public:
        explicit Taker(ILockable& l) : m_l(l) {}
        void Run() override {
            m_l.Lock();
            took = true;
            m_l.Unlock();
        }
        std::atomic<bool> took{false};

      private:
        ILockable& m_l;
    } taker(lock);
    JThread thread(&taker);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.Wait(10000));
    EXPECT_TRUE(taker.took);
}

}  // namespace
