#include "system/PipeSignal.h"

#include <pthread.h>

#include <csignal>

namespace corvanel::system {

void BlockPipeSignalInThisThread() {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

}  // namespace corvanel::system
