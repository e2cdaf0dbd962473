/* Reads lines "status<TAB>document<TAB>text file" (the text file empty for a failure) and checks
 * that the library converts each document, from its path, from its bytes in memory and in a
 * batch's worker processes, with that status name and, when converted, exactly the text of the
 * file. With the argument "crlf" the text files end their lines with CRLF, else with LF. Prints
 * each mismatch; the exit status is the number of mismatches (at most 100). */
#include <corvanel/corvanel.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct expectation {
    char* line; /* "status\0document\0text file" */
    const char* document;
    const char* text_file;
} expectation;

static char* read_file(const char* path, size_t* size) {
    FILE* file = fopen(path, "rb");
    if (file == NULL) {
        return NULL;
    }
    size_t capacity = 1 << 16, used = 0, got;
    char* bytes = malloc(capacity);
    while (bytes != NULL && (got = fread(bytes + used, 1, capacity - used, file)) > 0) {
        used += got;
        if (used == capacity) {
            capacity *= 2;
            char* grown = realloc(bytes, capacity);
            if (grown == NULL) {
                free(bytes);
            }
            bytes = grown;
        }
    }
    fclose(file);
    *size = used;
    return bytes;
}

static int check(const char* how, const expectation* expected, corvanel_result* result) {
    size_t size = 0, expected_size = 0;
    char* expected_text =
        *expected->text_file ? read_file(expected->text_file, &expected_size) : NULL;
    const char* text = corvanel_result_text(result, &size);
    const char* got = corvanel_status_name(corvanel_result_status(result));
    int bad = strcmp(got, expected->line) != 0 || (*expected->text_file && expected_text == NULL);
    if (!bad && expected_text != NULL) {
        bad = size != expected_size || memcmp(text, expected_text, size) != 0;
    }
    if (bad) {
        printf("%s (%s): %s, %zu bytes; corvanel-convert: %s, %zu bytes\n", expected->document, how,
               got, size, expected->line, expected_size);
    }
    free(expected_text);
    corvanel_result_free(result);
    return bad;
}

/* Every document once more through a batch: its results come in the order they finish. */
static int check_batch(const expectation* expected, int count, const char* newline) {
    corvanel_batch_options options;
    corvanel_batch_options_init(&options);
    options.newline = newline;
    options.jobs = 2;
    corvanel_batch* batch = NULL;
    if (corvanel_batch_open(&options, &batch) != CORVANEL_OK) {
        printf("no batch: the worker program is %s\n",
               corvanel_worker_program() ? corvanel_worker_program() : "not found");
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        corvanel_batch_add(batch, expected[i].document);
    }
    corvanel_batch_close_input(batch);
    int mismatches = 0, returned = 0;
    corvanel_result* result = NULL;
    while (corvanel_batch_next(batch, -1, &result) == 1) {
        int i = 0;
        while (i < count && strcmp(expected[i].document, corvanel_result_source(result)) != 0) {
            ++i;
        }
        ++returned;
        if (i == count) {
            printf("%s: returned by the batch, never added\n", corvanel_result_source(result));
            corvanel_result_free(result);
            ++mismatches;
            continue;
        }
        mismatches += check("batch", &expected[i], result);
    }
    corvanel_batch_free(batch);
    if (returned != count) {
        printf("the batch returned %d of %d documents\n", returned, count);
        ++mismatches;
    }
    return mismatches;
}

int main(int argc, char** argv) {
    corvanel_options options;
    corvanel_options_init(&options);
    options.newline = argc > 1 && strcmp(argv[1], "crlf") == 0 ? "\r\n" : NULL;
    expectation* expected = NULL;
    int mismatches = 0, documents = 0;
    char line[8192];
    while (fgets(line, sizeof line, stdin) != NULL) {
        line[strcspn(line, "\r\n")] = '\0';
        char* document = strchr(line, '\t');
        char* text_file = document != NULL ? strchr(document + 1, '\t') : NULL;
        expectation* grown = realloc(expected, (documents + 1) * sizeof *expected);
        if (text_file == NULL || grown == NULL) {
            printf("malformed line or no memory: %s\n", line);
            return 100;
        }
        expected = grown;
        *document++ = '\0';
        *text_file++ = '\0';
        const size_t length = (size_t)(text_file + strlen(text_file) + 1 - line);
        expectation* entry = &expected[documents];
        if ((entry->line = malloc(length)) == NULL) {
            printf("no memory\n");
            return 100;
        }
        ++documents;
        memcpy(entry->line, line, length);
        entry->document = entry->line + (document - line);
        entry->text_file = entry->line + (text_file - line);

        size_t size = 0;
        char* bytes = read_file(entry->document, &size);
        corvanel_result* result = NULL;
        corvanel_convert_file(entry->document, &options, &result);
        mismatches += check("path", entry, result);
        if (bytes != NULL) {
            corvanel_convert_bytes(bytes, size, entry->document, &options, &result);
            mismatches += check("bytes", entry, result);
        }
        free(bytes);
    }
    mismatches += check_batch(expected, documents, options.newline);
    for (int i = 0; i < documents; ++i) {
        free(expected[i].line);
    }
    free(expected);
    printf("%d documents, %d mismatches\n", documents, mismatches);
    return mismatches > 100 ? 100 : mismatches;
}
