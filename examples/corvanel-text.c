/* corvanel-text: writes the text of one document to standard output.
 *
 *     cc corvanel-text.c $(pkg-config --cflags --libs corvanel) -o corvanel-text
 *     ./corvanel-text report.docx > report.txt
 */
#include <corvanel/corvanel.h>

#include <stdio.h>

/* The text arrives in pieces as the document is read: a long one is never held whole. */
static int write_piece(void* context, const char* text, size_t size) {
    return fwrite(text, 1, size, (FILE*)context) == size ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DOCUMENT\n", argv[0]);
        return 2;
    }
    corvanel_result* result = NULL;
    const int status = corvanel_stream_file(argv[1], NULL, write_piece, stdout, &result);
    if (status == CORVANEL_OK && fflush(stdout) != 0) {
        fprintf(stderr, "%s: standard output cannot be written\n", argv[0]);
        corvanel_result_free(result);
        return 1;
    }
    if (status != CORVANEL_OK) {
        fprintf(stderr, "%s: %s (%s)\n", argv[0],
                result != NULL ? corvanel_result_message(result) : "out of memory",
                corvanel_status_name(status));
    }
    corvanel_result_free(result);
    return status == CORVANEL_OK ? 0 : 1;
}
