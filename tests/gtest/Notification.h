#pragma once

// GoogleTest's start signal for the threads it makes, for the Windows test programs: GoogleTest writes it
// with std::mutex and std::condition_variable, which the Windows compilers' runtime does not have. Every
// Windows test source includes this header first (see cmake/Testing.cmake); GoogleTest then takes this
// class instead of its own.
namespace testing {
namespace internal {

class Notification {
public:
    Notification();
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    // Lets every thread waiting, and every one that comes to wait later, go on.
    void Notify();
    void WaitForNotification();

private:
    void* event_;  // a manual-reset event
};

}  // namespace internal
}  // namespace testing
