"""The C interface of libcorvanel, opened with cffi in ABI mode: no compiled extension, so one
module serves every Python 3, and cffi lets go of the GIL during each call."""

import os

import cffi

DECLARATIONS = """
typedef struct corvanel_options {
    size_t size; int output; unsigned include; const char* newline;
} corvanel_options;
typedef struct corvanel_batch_options {
    size_t size; int output; unsigned include; const char* newline; unsigned jobs;
    double timeout_seconds; uint64_t max_memory_mib; uint64_t max_per_worker;
} corvanel_batch_options;
typedef struct corvanel_result corvanel_result;
typedef struct corvanel_batch corvanel_batch;

const char* corvanel_status_name(int status);
const char* corvanel_property_name(int property);
void corvanel_options_init(corvanel_options* options);
void corvanel_batch_options_init(corvanel_batch_options* options);
int corvanel_convert_file(const char* path, const corvanel_options* options,
                          corvanel_result** result);
int corvanel_convert_bytes(const void* bytes, size_t size, const char* label,
                           const corvanel_options* options, corvanel_result** result);
void corvanel_result_free(corvanel_result* result);
int corvanel_result_status(const corvanel_result* result);
const char* corvanel_result_message(const corvanel_result* result);
const char* corvanel_result_format(const corvanel_result* result);
const char* corvanel_result_text(const corvanel_result* result, size_t* size);
size_t corvanel_result_text_size(const corvanel_result* result);
uint64_t corvanel_result_chars(const corvanel_result* result);
uint64_t corvanel_result_words(const corvanel_result* result);
const char* corvanel_result_property(const corvanel_result* result, int property);
const char* corvanel_result_source(const corvanel_result* result);
const char* corvanel_version(void);
int corvanel_older_formats_available(const char** reason);
int corvanel_output_available(int output);
int corvanel_batch_open(const corvanel_batch_options* options, corvanel_batch** batch);
int corvanel_batch_add(corvanel_batch* batch, const char* path);
void corvanel_batch_close_input(corvanel_batch* batch);
int corvanel_batch_next(corvanel_batch* batch, int timeout_ms, corvanel_result** result);
void corvanel_batch_free(corvanel_batch* batch);
const char* corvanel_worker_program(void);
"""

PROPERTY_COUNT = 6

ffi = cffi.FFI()
ffi.cdef(DECLARATIONS)
# CORVANEL_LIBRARY names the library file to open instead (a build tree's, for its tests).
lib = ffi.dlopen(os.environ.get("CORVANEL_LIBRARY") or "libcorvanel.so.1")
