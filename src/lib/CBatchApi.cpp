// The C interface of batches.

#include "lib/Batch.h"
#include "lib/LibraryOptions.h"
#include "lib/WorkerProgram.h"

#include <memory>
#include <new>

struct corvanel_batch {
    std::unique_ptr<corvanel::library::Batch> batch;
};

extern "C" {

int corvanel_batch_open(const corvanel_batch_options* options, corvanel_batch** batch) {
    using namespace corvanel::library;
    if (batch == nullptr) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    *batch = nullptr;
    try {
        BatchSettings settings;
        if (const int status = ReadBatchOptions(options, settings); status != CORVANEL_OK) {
            return status;
        }
        const std::optional<std::string>& program = WorkerProgram();
        if (!program) {
            return CORVANEL_INTERNAL;
        }
        auto opened = std::make_unique<corvanel_batch>();
        opened->batch = std::make_unique<Batch>(settings, *program);
        *batch = opened.release();
        return CORVANEL_OK;
    } catch (const std::bad_alloc&) {
        return CORVANEL_TOO_LARGE;
    } catch (...) {
        return CORVANEL_INTERNAL;
    }
}

int corvanel_batch_add(corvanel_batch* batch, const char* path) {
    if (batch == nullptr || path == nullptr) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    try {
        return batch->batch->Add(path) ? CORVANEL_OK : CORVANEL_INVALID_ARGUMENT;
    } catch (const std::bad_alloc&) {
        return CORVANEL_TOO_LARGE;
    } catch (...) {
        return CORVANEL_INTERNAL;
    }
}

void corvanel_batch_close_input(corvanel_batch* batch) {
    if (batch != nullptr) {
        batch->batch->CloseInput();
    }
}

int corvanel_batch_next(corvanel_batch* batch, int timeout_ms, corvanel_result** result) {
    if (batch == nullptr || result == nullptr) {
        return -1;
    }
    *result = nullptr;
    try {
        std::unique_ptr<corvanel_result> next;
        const int got = batch->batch->Next(timeout_ms, next);
        *result = next.release();
        return got;
    } catch (...) {
        return 0;
    }
}

void corvanel_batch_free(corvanel_batch* batch) {
    try {
        delete batch;
    } catch (...) {
    }
}

const char* corvanel_worker_program(void) {
    try {
        const std::optional<std::string>& program = corvanel::library::WorkerProgram();
        return program ? program->c_str() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

}  // extern "C"
