/* libcorvanel: word-processing documents (DOCX, DOC, RTF, ODT, HTML, WordPerfect, ...) to text.
 *
 * A plain C interface. Every call is safe from any thread, several at once; nothing is written to
 * standard output or standard error, and no call aborts the program or lets an exception out.
 * Strings in and out are UTF-8, except paths on POSIX systems, which are the file system's bytes
 * (on Windows paths are UTF-8 too).
 *
 *     corvanel_result* result = NULL;
 *     if (corvanel_convert_file("report.docx", NULL, &result) == CORVANEL_OK)
 *         fwrite(corvanel_result_text(result, NULL), 1, corvanel_result_text_size(result), stdout);
 *     else
 *         fprintf(stderr, "%s\n", corvanel_result_message(result));
 *     corvanel_result_free(result);
 */
#ifndef CORVANEL_CORVANEL_H
#define CORVANEL_CORVANEL_H

#include <stddef.h>
#include <stdint.h>

/* This header's version; corvanel_version() tells the library's. */
#define CORVANEL_VERSION_MAJOR 0
#define CORVANEL_VERSION_MINOR 1
#define CORVANEL_VERSION_PATCH 0

/* The library exports these functions and nothing else: corvanel.dll on Windows (a program links
 * its import library), libcorvanel.so.1 elsewhere. */
#if defined(_WIN32)
#if defined(CORVANEL_BUILDING_LIBRARY)
#define CORVANEL_API __declspec(dllexport)
#else
#define CORVANEL_API __declspec(dllimport)
#endif
#elif defined(CORVANEL_BUILDING_LIBRARY) && defined(__GNUC__)
#define CORVANEL_API __attribute__((visibility("default")))
#else
#define CORVANEL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The outcome of a conversion: the numbers and names of corvanel-convert's records. */
typedef enum corvanel_status {
    CORVANEL_OK = 0,
    CORVANEL_CANNOT_OPEN = 8001,        /* "cannot-open": the source cannot be opened or read */
    CORVANEL_NOT_READABLE = 8002,       /* "not-readable": not a format Corvanel reads */
    CORVANEL_PASSWORD_PROTECTED = 8003, /* "password-protected" */
    CORVANEL_DAMAGED = 8004,            /* "damaged": recognised but broken */
    CORVANEL_TOO_LARGE = 8005,          /* "too-large": beyond the converter's safety limits */
    CORVANEL_CANNOT_WRITE = 8006,       /* "cannot-write": the write callback stopped it */
    CORVANEL_INTERNAL = 8007,           /* "internal": a fault of Corvanel itself */
    CORVANEL_TIMEOUT = 8008,            /* "timeout": batches only */
    CORVANEL_OUT_OF_MEMORY = 8009,      /* "out-of-memory": batches only */
    CORVANEL_CRASHED = 8010,            /* "crashed": batches only, the worker died twice */
    /* The library's own: */
    CORVANEL_INVALID_ARGUMENT = 8101,  /* "invalid-argument": a null or malformed argument */
    CORVANEL_UNSUPPORTED_OUTPUT = 8102 /* "unsupported-output": not built into this library */
} corvanel_status;

/* The stable name of a status ("password-protected", ...); "ok" for CORVANEL_OK. */
CORVANEL_API const char* corvanel_status_name(int status);

typedef enum corvanel_output {
    CORVANEL_OUTPUT_TEXT = 0,
    CORVANEL_OUTPUT_MARKDOWN = 1
} corvanel_output;

/* Text beside the body that Word's own text export leaves out, added when asked. */
enum {
    CORVANEL_INCLUDE_HEADERS = 1u << 0,
    CORVANEL_INCLUDE_FOOTERS = 1u << 1,
    CORVANEL_INCLUDE_COMMENTS = 1u << 2
};

/* Set `size` to sizeof(corvanel_options) (corvanel_options_init does): fields added in later
 * versions go at the end, and a library reads only as much as the caller knew of. */
typedef struct corvanel_options {
    size_t size;
    int output;          /* corvanel_output */
    unsigned include;    /* CORVANEL_INCLUDE_* */
    const char* newline; /* NULL: "\n" */
} corvanel_options;

CORVANEL_API void corvanel_options_init(corvanel_options* options);

/* The document's stated properties (ISO 8601 dates, decimal counts as stored). */
typedef enum corvanel_property {
    CORVANEL_PROPERTY_TITLE = 0,
    CORVANEL_PROPERTY_AUTHOR = 1,
    CORVANEL_PROPERTY_CREATED = 2,
    CORVANEL_PROPERTY_MODIFIED = 3,
    CORVANEL_PROPERTY_PAGES = 4,
    CORVANEL_PROPERTY_WORDS = 5,
    CORVANEL_PROPERTY_COUNT = 6
} corvanel_property;

/* "title", "author", "created", "modified", "pages", "words"; NULL past the last. */
CORVANEL_API const char* corvanel_property_name(int property);

/* One conversion's outcome, owned by the caller: free it with corvanel_result_free. */
typedef struct corvanel_result corvanel_result;

/* Receives a long document's text in pieces as it is produced (a short one in one piece at the
 * end, so a document that cannot be read sends nothing). Return 0 to go on, anything else to
 * stop the conversion (it then fails with CORVANEL_CANNOT_WRITE). */
typedef int (*corvanel_write_fn)(void* context, const char* text, size_t size);

/* Converts the document at `path` (its format recognised from its content) into text held by
 * the result. `options` may be NULL. Returns the result's status; *result is set whatever it is
 * (NULL only when no memory was left for it). */
CORVANEL_API int corvanel_convert_file(const char* path, const corvanel_options* options,
                                       corvanel_result** result);
/* The same for `size` bytes in memory; `label` (may be NULL) names the document in messages. */
CORVANEL_API int corvanel_convert_bytes(const void* bytes, size_t size, const char* label,
                                        const corvanel_options* options, corvanel_result** result);
/* As above, but the text goes to `write` instead of the result. */
CORVANEL_API int corvanel_stream_file(const char* path, const corvanel_options* options,
                                      corvanel_write_fn write, void* context,
                                      corvanel_result** result);
CORVANEL_API int corvanel_stream_bytes(const void* bytes, size_t size, const char* label,
                                       const corvanel_options* options, corvanel_write_fn write,
                                       void* context, corvanel_result** result);

CORVANEL_API void corvanel_result_free(corvanel_result* result);
CORVANEL_API int corvanel_result_status(const corvanel_result* result);
/* Empty when the conversion succeeded, else names the document and the reason. */
CORVANEL_API const char* corvanel_result_message(const corvanel_result* result);
/* The recognised format ("docx", "doc", "rtf", "odt", "html", "text", "wpd", ...); empty when
 * none was recognised. */
CORVANEL_API const char* corvanel_result_format(const corvanel_result* result);
/* The text, NUL-terminated, valid until the result is freed; empty for a failure or when
 * streamed. `size` (may be NULL) receives its length in bytes. */
CORVANEL_API const char* corvanel_result_text(const corvanel_result* result, size_t* size);
CORVANEL_API size_t corvanel_result_text_size(const corvanel_result* result);
/* Unicode characters (line breaks included) and words (as `wc -w`) of the text. */
CORVANEL_API uint64_t corvanel_result_chars(const corvanel_result* result);
CORVANEL_API uint64_t corvanel_result_words(const corvanel_result* result);
/* A stated property, or NULL when the document states none. */
CORVANEL_API const char* corvanel_result_property(const corvanel_result* result, int property);
/* The path a batch converted (as given to corvanel_batch_add); the label or path otherwise. */
CORVANEL_API const char* corvanel_result_source(const corvanel_result* result);

/* The library's version, "major.minor.patch". */
CORVANEL_API const char* corvanel_version(void);
/* 1 when WordPerfect, Works, Write, Word for DOS and old Mac documents can be read (their module
 * is installed and loads), else 0 with the reason in *reason (may be NULL; valid for good). */
CORVANEL_API int corvanel_older_formats_available(const char** reason);
/* 1 when the output can be produced by this library. */
CORVANEL_API int corvanel_output_available(int output);

/* Batches: documents converted in worker processes (a program started fresh, never a copy of the
 * caller), under the limits corvanel-convert applies: past the time or memory limit a document's
 * worker is killed and the document fails (CORVANEL_TIMEOUT, CORVANEL_OUT_OF_MEMORY); a worker that
 * dies has its document tried once more in a fresh one, and a second death fails it
 * (CORVANEL_CRASHED); a worker is replaced after `max_per_worker` documents. */
typedef struct corvanel_batch_options {
    size_t size;             /* sizeof(corvanel_batch_options) */
    int output;              /* corvanel_output */
    unsigned include;        /* CORVANEL_INCLUDE_* */
    const char* newline;     /* NULL: "\n" */
    unsigned jobs;           /* worker processes; 0: one per processor core */
    double timeout_seconds;  /* per document; 0: 120 */
    uint64_t max_memory_mib; /* resident memory of a worker; 0: 2048 */
    uint64_t max_per_worker; /* 0: 10000 */
} corvanel_batch_options;

CORVANEL_API void corvanel_batch_options_init(corvanel_batch_options* options);

typedef struct corvanel_batch corvanel_batch;

/* Starts a batch (its workers start as documents arrive). CORVANEL_INTERNAL when the worker
 * program cannot be found (see corvanel_worker_program). */
CORVANEL_API int corvanel_batch_open(const corvanel_batch_options* options, corvanel_batch** batch);
/* Adds a document; it is converted as soon as a worker is free. */
CORVANEL_API int corvanel_batch_add(corvanel_batch* batch, const char* path);
/* No more documents will be added: corvanel_batch_next ends once all are returned. */
CORVANEL_API void corvanel_batch_close_input(corvanel_batch* batch);
/* Waits up to `timeout_ms` (negative: as long as it takes) for the next finished document, in
 * the order they finish. Returns 1 with *result set (free it), 0 when none finished in time, -1
 * when input is closed and every document has been returned. */
CORVANEL_API int corvanel_batch_next(corvanel_batch* batch, int timeout_ms,
                                     corvanel_result** result);
/* Kills the workers still busy and frees the batch. */
CORVANEL_API void corvanel_batch_free(corvanel_batch* batch);

/* The worker program batches start (the environment variable CORVANEL_WORKER overrides where
 * it is looked for), or NULL when it is not there. */
CORVANEL_API const char* corvanel_worker_program(void);

#ifdef __cplusplus
}
#endif

#endif /* CORVANEL_CORVANEL_H */
