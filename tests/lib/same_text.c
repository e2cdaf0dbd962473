/* Reads lines "status<TAB>document<TAB>text file" (the text file empty for a failure) and checks
 * that the library converts each document, from its path and from its bytes in memory, with that
 * status name and, when converted, exactly the text of the file. Prints each mismatch; the exit
 * status is the number of mismatches (at most 100). */
#include <corvanel/corvanel.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

static int check(const char* how, const char* document, corvanel_result* result, const char* status,
                 const char* expected, size_t expected_size) {
    size_t size = 0;
    const char* text = corvanel_result_text(result, &size);
    const char* got = corvanel_status_name(corvanel_result_status(result));
    int bad = strcmp(got, status) != 0;
    if (!bad && expected != NULL) {
        bad = size != expected_size || memcmp(text, expected, size) != 0;
    }
    if (bad) {
        printf("%s (%s): %s, %zu bytes; corvanel-convert: %s, %zu bytes\n", document, how, got,
               size, status, expected_size);
    }
    corvanel_result_free(result);
    return bad;
}

int main(void) {
    char line[8192];
    int mismatches = 0, documents = 0;
    while (fgets(line, sizeof line, stdin) != NULL) {
        line[strcspn(line, "\n")] = '\0';
        char* document = strchr(line, '\t');
        char* text_file = document != NULL ? strchr(document + 1, '\t') : NULL;
        if (text_file == NULL) {
            printf("malformed line: %s\n", line);
            return 100;
        }
        *document++ = '\0';
        *text_file++ = '\0';
        size_t expected_size = 0, size = 0;
        char* expected = *text_file ? read_file(text_file, &expected_size) : NULL;
        char* bytes = read_file(document, &size);
        corvanel_result* result = NULL;
        corvanel_convert_file(document, NULL, &result);
        mismatches += check("path", document, result, line, expected, expected_size);
        if (bytes != NULL) {
            corvanel_convert_bytes(bytes, size, document, NULL, &result);
            mismatches += check("bytes", document, result, line, expected, expected_size);
        }
        free(bytes);
        free(expected);
        ++documents;
    }
    printf("%d documents, %d mismatches\n", documents, mismatches);
    return mismatches > 100 ? 100 : mismatches;
}
