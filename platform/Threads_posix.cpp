#include <condition_variable>
#include <thread>

#include "platform/Threads.h"

namespace platform {

struct Mutex::Native {
    std::mutex mutex;
};

Mutex::Mutex() : native_(std::make_unique<Native>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() { native_->mutex.lock(); }
void Mutex::unlock() { native_->mutex.unlock(); }

struct Condition::Native {
    std::condition_variable_any condition;
};

Condition::Condition() : native_(std::make_unique<Native>()) {}
Condition::~Condition() = default;
void Condition::Wait(std::unique_lock<Mutex>& lock) { native_->condition.wait(lock); }
void Condition::NotifyOne() { native_->condition.notify_one(); }
void Condition::NotifyAll() { native_->condition.notify_all(); }

struct Thread::Native {
    std::thread thread;
};

Thread::Thread(std::function<void()> run) : native_(std::make_unique<Native>()) {
    native_->thread = std::thread(std::move(run));
}

Thread::~Thread() { Join(); }

void Thread::Join() {
    if (native_->thread.joinable()) {
        native_->thread.join();
    }
}

unsigned ProcessorCount() {
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

}  // namespace platform
