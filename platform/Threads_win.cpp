#include <windows.h>
#include <process.h>

#include <exception>
#include <new>
#include <vector>

#include "platform/Threads.h"

namespace platform {

struct Mutex::Native {
    CRITICAL_SECTION section;
};

Mutex::Mutex() : native_(std::make_unique<Native>()) { InitializeCriticalSection(&native_->section); }
Mutex::~Mutex() { DeleteCriticalSection(&native_->section); }
void Mutex::lock() { EnterCriticalSection(&native_->section); }
void Mutex::unlock() { LeaveCriticalSection(&native_->section); }

// Every waiter puts an event of its own on the list of waiters before it lets go of the caller's lock, and
// a notification takes waiters off the list and sets their events: a notification that comes after the
// waiter checked its condition finds it on the list. The events are auto-reset and kept for later waits.
struct Condition::Native {
    struct Waiter {
        HANDLE event;
        Waiter* next;
    };
    CRITICAL_SECTION guard;
    Waiter* waiting = nullptr;  // the most recent first
    std::vector<HANDLE> spare;

    HANDLE TakeEvent() {
        if (spare.empty()) {
            return CreateEventA(nullptr, FALSE, FALSE, nullptr);
        }
        HANDLE event = spare.back();
        spare.pop_back();
        return event;
    }
    void GiveBack(HANDLE event) {
        try {
            spare.push_back(event);
        } catch (const std::exception&) {
            CloseHandle(event);
        }
    }
    // Takes the oldest waiter off the list and wakes it.
    void WakeOldest() {
        Waiter** link = &waiting;
        while ((*link)->next != nullptr) {
            link = &(*link)->next;
        }
        SetEvent((*link)->event);
        *link = nullptr;
    }
};

Condition::Condition() : native_(std::make_unique<Native>()) { InitializeCriticalSection(&native_->guard); }

Condition::~Condition() {
    for (HANDLE event : native_->spare) {
        CloseHandle(event);
    }
    DeleteCriticalSection(&native_->guard);
}

void Condition::Wait(std::unique_lock<Mutex>& lock) {
    Native& n = *native_;
    EnterCriticalSection(&n.guard);
    Native::Waiter self{n.TakeEvent(), n.waiting};
    if (self.event == nullptr) {
        // No event to wait on: a short sleep stands for the wake-up, which callers check for anyway.
        LeaveCriticalSection(&n.guard);
        lock.unlock();
        Sleep(1);
        lock.lock();
        return;
    }
    n.waiting = &self;
    LeaveCriticalSection(&n.guard);
    lock.unlock();
    WaitForSingleObject(self.event, INFINITE);
    lock.lock();
    EnterCriticalSection(&n.guard);
    n.GiveBack(self.event);
    LeaveCriticalSection(&n.guard);
}

void Condition::NotifyOne() {
    EnterCriticalSection(&native_->guard);
    if (native_->waiting != nullptr) {
        native_->WakeOldest();
    }
    LeaveCriticalSection(&native_->guard);
}

void Condition::NotifyAll() {
    EnterCriticalSection(&native_->guard);
    for (Native::Waiter* waiter = native_->waiting; waiter != nullptr;) {
        Native::Waiter* next = waiter->next;  // the waiter may leave as soon as its event is set
        SetEvent(waiter->event);
        waiter = next;
    }
    native_->waiting = nullptr;
    LeaveCriticalSection(&native_->guard);
}

struct Thread::Native {
    std::function<void()> run;
    HANDLE handle = nullptr;

    static unsigned __stdcall Start(void* self) {
        try {
            static_cast<Native*>(self)->run();
        } catch (...) {
            std::terminate();  // as a std::thread does
        }
        return 0;
    }
};

Thread::Thread(std::function<void()> run) : native_(std::make_unique<Native>()) {
    native_->run = std::move(run);
    uintptr_t handle = _beginthreadex(nullptr, 0, &Native::Start, native_.get(), 0, nullptr);
    if (handle == 0) {
        throw std::bad_alloc();  // the system had no room for another thread
    }
    native_->handle = reinterpret_cast<HANDLE>(handle);
}

Thread::~Thread() { Join(); }

void Thread::Join() {
    if (native_->handle != nullptr) {
        WaitForSingleObject(native_->handle, INFINITE);
        CloseHandle(native_->handle);
        native_->handle = nullptr;
    }
}

unsigned ProcessorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

}  // namespace platform
