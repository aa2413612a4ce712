// The inflater's lanes and slots: folders decoded at once on several lanes with their own history, jobs
// given back in any order, and jobs given back before they are decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cabinet/BlockInflater.h"
#include "cabinet/CabTypes.h"
#include "cabinet/Mszip.h"
#include "tests/cabinet/CabTestSupport.h"

namespace {

constexpr size_t kBlock = 32768;

// A folder's bytes and its MSZIP blocks, each compressed with the block before it as history.
struct FolderData {
    std::vector<uint8_t> bytes;
    std::vector<std::vector<uint8_t>> blocks;
};

FolderData MakeFolder(size_t size, uint32_t seed) {
    FolderData folder;
    folder.bytes = cabtest::TextBytes(size, seed);
    cab::MszipCompressor compressor;
    for (size_t at = 0; at < size; at += kBlock) {
        const size_t historySize = at == 0 ? 0 : kBlock;
        std::vector<uint8_t> block;
        EXPECT_TRUE(compressor.Compress(folder.bytes.data() + at - historySize, historySize, folder.bytes.data() + at,
                                        std::min(kBlock, size - at), &block));
        folder.blocks.push_back(block);
    }
    return folder;
}

// Fills a job with the folder's blocks from first on (as many as a job takes).
void Fill(cab::InflateJob* job, const FolderData& folder, int id, size_t first) {
    job->type = cab::tcompTYPE_MSZIP;
    job->folder = id;
    job->startsFolder = first == 0;
    job->start = first * kBlock;
    uint32_t used = 0;
    for (size_t b = first; b < folder.blocks.size() && job->blocks < cab::InflateJob::kMaxBlocks; ++b) {
        std::memcpy(job->input.data() + used, folder.blocks[b].data(), folder.blocks[b].size());
        used += static_cast<uint32_t>(folder.blocks[b].size());
        job->inputEnd[job->blocks] = used;
        job->outputSize[job->blocks] = static_cast<uint16_t>(std::min(kBlock, folder.bytes.size() - b * kBlock));
        job->blocks++;
    }
    job->endsFolder = first + static_cast<size_t>(job->blocks) == folder.blocks.size();
}

// Acquires a slot (once one is free), fills it with the folder's blocks from first on and hands it to the
// lane; null when no slot could be had.
cab::InflateJob* SubmitJob(cab::BlockInflater& inflater, const FolderData& folder, int id, size_t first, int lane) {
    inflater.WaitForFree();
    cab::InflateJob* job = inflater.Acquire();
    if (job != nullptr) {
        Fill(job, folder, id, first);
        inflater.Submit(job, lane);
    }
    return job;
}

void ExpectDecoded(const cab::InflateJob& job, const FolderData& folder) {
    ASSERT_EQ(job.decodeError, 0);
    ASSERT_EQ(job.decoded, job.blocks);
    ASSERT_LE(job.start + job.outputBytes, folder.bytes.size());
    EXPECT_TRUE(std::equal(job.output.begin(), job.output.begin() + static_cast<long>(job.outputBytes),
                           folder.bytes.begin() + static_cast<long>(job.start)))
        << "folder " << job.folder << " at " << job.start;
}

TEST(BlockInflater, TwoFoldersDecodeOnTwoLanesWithJobsGivenBackInAnyOrder) {
    const FolderData a = MakeFolder(3 * 8 * kBlock - 1000, 1);  // three jobs, the last one short
    const FolderData b = MakeFolder(2 * 8 * kBlock, 2);
    cab::BlockInflater inflater(2);
    std::vector<cab::InflateJob*> jobs;
    // Interleaved as the reader reads two folders ahead: a0 b0 a1 b1 a2.
    for (size_t j = 0; j < 5; ++j) {
        const bool ofA = j % 2 == 0;
        jobs.push_back(SubmitJob(inflater, ofA ? a : b, ofA ? 0 : 1, (j / 2) * 8, ofA ? 0 : 1));
        ASSERT_NE(jobs.back(), nullptr);
    }
    for (cab::InflateJob* job : jobs) {
        inflater.Wait(job);
        ExpectDecoded(*job, job->folder == 0 ? a : b);
    }
    EXPECT_TRUE(jobs[4]->endsFolder && jobs[3]->endsFolder);
    for (size_t j : {3u, 0u, 2u, 4u, 1u}) {
        inflater.Release(jobs[j]);
    }
    // Every slot is free again, and no two acquired jobs share one.
    std::vector<cab::InflateJob*> all;
    for (int i = 0; i < inflater.Slots(); ++i) {
        all.push_back(inflater.Acquire());
        ASSERT_NE(all.back(), nullptr) << i;
    }
    EXPECT_EQ(inflater.Acquire(), nullptr);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
}

TEST(BlockInflater, JobsGivenBackBeforeTheyAreDecodedFreeTheirSlotsAndTheLaneGoesOn) {
    const FolderData dropped = MakeFolder(6 * 8 * kBlock, 3);
    const FolderData kept = MakeFolder(8 * kBlock + 5, 4);
    cab::BlockInflater inflater(1);
    std::vector<cab::InflateJob*> jobs;
    for (size_t first = 0; first < dropped.blocks.size(); first += 8) {
        jobs.push_back(SubmitJob(inflater, dropped, 0, first, 0));
        ASSERT_NE(jobs.back(), nullptr);
    }
    for (cab::InflateJob* job : jobs) {
        inflater.Release(job);
    }
    // The next folder on the same lane decodes from its own start whatever became of the dropped jobs.
    std::vector<cab::InflateJob*> next;
    for (size_t first = 0; first < kept.blocks.size(); first += 8) {
        next.push_back(SubmitJob(inflater, kept, 1, first, 0));
        ASSERT_NE(next.back(), nullptr);
    }
    for (cab::InflateJob* job : next) {
        inflater.Wait(job);
        ExpectDecoded(*job, kept);
    }
    inflater.Clear();
    int free = 0;
    while (inflater.Acquire() != nullptr) {
        free++;
    }
    EXPECT_EQ(free, inflater.Slots());
}

}  // namespace
