#pragma once

// Documents converted in worker processes, one thread per worker: each thread takes the next
// path, asks its worker (isolation::SingleWorker applies the limits, the retry and the
// replacement) and hands the result on, in the order the documents finish.

#include "lib/LibraryOptions.h"
#include "lib/ResultData.h"

#include "isolation/SingleWorker.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvanel::library {

class Batch {
public:
    Batch(const BatchSettings& settings, const std::string& program);
    // Kills the workers still busy; their documents are not returned.
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // False once the input is closed.
    bool Add(std::string path);
    void CloseInput();
    // 1 with `result` set, 0 when none finished within `timeoutMs` (< 0: no limit), -1 at the end.
    int Next(int timeoutMs, std::unique_ptr<corvanel_result>& result);

private:
    void Serve(isolation::SingleWorker& worker);
    std::unique_ptr<corvanel_result> Convert(isolation::SingleWorker& worker, std::string path);

    BatchSettings settings_;
    std::mutex mutex_;
    std::condition_variable inputReady_;
    std::condition_variable resultReady_;
    std::deque<std::string> paths_;
    std::deque<std::unique_ptr<corvanel_result>> finished_;
    std::size_t unreturned_ = 0;  // added and not yet handed out by Next
    bool closed_ = false;
    bool stopping_ = false;
    std::vector<std::unique_ptr<isolation::SingleWorker>> workers_;
    std::vector<std::thread> threads_;
};

}  // namespace corvanel::library
