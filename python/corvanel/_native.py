"""The C interface of libcorvanel, opened with cffi in ABI mode: no compiled extension, so one
module serves every Python 3, and cffi lets go of the GIL during each call. DECLARATIONS are the
header's (corvanel/corvanel.h) without its comments and macros, in its order; the tests hold them
to it."""

import os

import cffi

DECLARATIONS = """
typedef enum corvanel_status {
    CORVANEL_OK = 0,
    CORVANEL_CANNOT_OPEN = 8001,
    CORVANEL_NOT_READABLE = 8002,
    CORVANEL_PASSWORD_PROTECTED = 8003,
    CORVANEL_DAMAGED = 8004,
    CORVANEL_TOO_LARGE = 8005,
    CORVANEL_CANNOT_WRITE = 8006,
    CORVANEL_INTERNAL = 8007,
    CORVANEL_TIMEOUT = 8008,
    CORVANEL_OUT_OF_MEMORY = 8009,
    CORVANEL_CRASHED = 8010,
    CORVANEL_INVALID_ARGUMENT = 8101,
    CORVANEL_UNSUPPORTED_OUTPUT = 8102
} corvanel_status;
const char* corvanel_status_name(int status);

typedef enum corvanel_output {
    CORVANEL_OUTPUT_TEXT = 0,
    CORVANEL_OUTPUT_MARKDOWN = 1
} corvanel_output;
enum {
    CORVANEL_INCLUDE_HEADERS = 1u << 0,
    CORVANEL_INCLUDE_FOOTERS = 1u << 1,
    CORVANEL_INCLUDE_COMMENTS = 1u << 2
};
typedef struct corvanel_options {
    size_t size; int output; unsigned include; const char* newline;
} corvanel_options;
void corvanel_options_init(corvanel_options* options);

typedef enum corvanel_property {
    CORVANEL_PROPERTY_TITLE = 0,
    CORVANEL_PROPERTY_AUTHOR = 1,
    CORVANEL_PROPERTY_CREATED = 2,
    CORVANEL_PROPERTY_MODIFIED = 3,
    CORVANEL_PROPERTY_PAGES = 4,
    CORVANEL_PROPERTY_WORDS = 5,
    CORVANEL_PROPERTY_COUNT = 6
} corvanel_property;
const char* corvanel_property_name(int property);

typedef struct corvanel_result corvanel_result;
typedef int (*corvanel_write_fn)(void* context, const char* text, size_t size);
int corvanel_convert_file(const char* path, const corvanel_options* options,
                          corvanel_result** result);
int corvanel_convert_bytes(const void* bytes, size_t size, const char* label,
                           const corvanel_options* options, corvanel_result** result);
int corvanel_stream_file(const char* path, const corvanel_options* options,
                         corvanel_write_fn write, void* context, corvanel_result** result);
int corvanel_stream_bytes(const void* bytes, size_t size, const char* label,
                          const corvanel_options* options, corvanel_write_fn write,
                          void* context, corvanel_result** result);

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

typedef struct corvanel_batch_options {
    size_t size; int output; unsigned include; const char* newline; unsigned jobs;
    double timeout_seconds; uint64_t max_memory_mib; uint64_t max_per_worker;
} corvanel_batch_options;
void corvanel_batch_options_init(corvanel_batch_options* options);
typedef struct corvanel_batch corvanel_batch;
int corvanel_batch_open(const corvanel_batch_options* options, corvanel_batch** batch);
int corvanel_batch_add(corvanel_batch* batch, const char* path);
void corvanel_batch_close_input(corvanel_batch* batch);
int corvanel_batch_next(corvanel_batch* batch, int timeout_ms, corvanel_result** result);
void corvanel_batch_free(corvanel_batch* batch);
const char* corvanel_worker_program(void);
"""

ffi = cffi.FFI()
ffi.cdef(DECLARATIONS)
# CORVANEL_LIBRARY names the library file to open instead (a build tree's, for its tests).
lib = ffi.dlopen(os.environ.get("CORVANEL_LIBRARY") or "libcorvanel.so.1")
