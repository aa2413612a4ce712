#include "cabinet/BlockCompressor.h"

#include <algorithm>

#include "cabinet/Mszip.h"

namespace cab {

BlockCompressor::BlockCompressor(int threads) {
    if (threads <= 1) {
        inlineCompressor_ = std::make_unique<MszipCompressor>();
        return;
    }
    try {
        for (int i = 0; i < threads; ++i) {
            workers_.push_back(std::make_unique<platform::Thread>([this] { WorkerLoop(); }));
        }
    } catch (...) {
        StopWorkers();  // the workers already started
        throw;
    }
}

BlockCompressor::~BlockCompressor() { StopWorkers(); }

void BlockCompressor::StopWorkers() {
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        stopping_ = true;
    }
    workReady_.NotifyAll();
    for (auto& worker : workers_) {
        worker->Join();
    }
}

int BlockCompressor::DefaultThreads() {
    unsigned processors = platform::ProcessorCount();
    return static_cast<int>(std::clamp(processors, 1u, 8u));
}

void BlockCompressor::Run(BlockJob& job, MszipCompressor* compressor) {
    if (!job.compress) {
        job.output = *job.input;
        job.ok = true;
        return;
    }
    const uint8_t* history = job.history ? job.history->data() : nullptr;
    size_t historySize = job.history ? job.history->size() : 0;
    job.ok = compressor->Compress(history, historySize, job.input->data(), job.input->size(), &job.output);
}

std::shared_ptr<BlockJob> BlockCompressor::Submit(BlockData history, BlockData input, bool compress) {
    auto job = std::make_shared<BlockJob>();
    job->history = std::move(history);
    job->input = std::move(input);
    job->compress = compress;
    if (workers_.empty() || !compress) {
        Run(*job, compress ? inlineCompressor_.get() : nullptr);
        job->done = true;
        return job;
    }
    {
        std::lock_guard<platform::Mutex> lock(mutex_);
        queue_.push_back(job);
    }
    workReady_.NotifyOne();
    return job;
}

void BlockCompressor::Wait(BlockJob& job) {
    std::unique_lock<platform::Mutex> lock(mutex_);
    jobDone_.Wait(lock, [&job] { return job.done; });
}

void BlockCompressor::WorkerLoop() {
    MszipCompressor compressor;
    for (;;) {
        std::shared_ptr<BlockJob> job;
        {
            std::unique_lock<platform::Mutex> lock(mutex_);
            workReady_.Wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        Run(*job, &compressor);
        {
            std::lock_guard<platform::Mutex> lock(mutex_);
            job->done = true;
        }
        jobDone_.NotifyAll();
    }
}

}  // namespace cab
