#pragma once

// Threads, a lock and a condition for worker pools. The Windows programs are built with a runtime that has
// no std::thread and needs no threading library of its own; there these are the system's primitives, chosen
// so that they also exist on Windows XP. Elsewhere they are the standard library's.
#include <functional>
#include <memory>
#include <mutex>  // std::lock_guard and std::unique_lock, which work with Mutex

namespace platform {

class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();

    struct Native;

private:
    std::unique_ptr<Native> native_;
};

// Wakes threads waiting for a change that another thread makes under the same Mutex. A notification may
// come before or after that thread lets go of the lock; no waiter that has checked its condition under
// the lock misses it.
class Condition {
public:
    Condition();
    ~Condition();
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    // Lets go of the lock, waits for a notification (or a spurious wake-up) and takes the lock again.
    void Wait(std::unique_lock<Mutex>& lock);
    template <class Ready>
    void Wait(std::unique_lock<Mutex>& lock, Ready ready) {
        while (!ready()) {
            Wait(lock);
        }
    }
    void NotifyOne();
    void NotifyAll();

    struct Native;

private:
    std::unique_ptr<Native> native_;
};

// Runs a function on a thread of its own; destroying it waits for the thread to end. Throws a
// std::exception when no thread can be made.
class Thread {
public:
    explicit Thread(std::function<void()> run);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void Join();

    struct Native;

private:
    std::unique_ptr<Native> native_;
};

// The number of processors the program may run on (at least 1).
unsigned ProcessorCount();

}  // namespace platform
