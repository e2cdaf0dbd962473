// A conversion worker as the programs start theirs: jobs in, answers out.

#include "isolation/JobWorker.h"

int main() {
    return corvanel::isolation::ServeJobs();
}
