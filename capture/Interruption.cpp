#include "capture/Interruption.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;

void noteSignal(int signal) { caught = signal; }

}  // namespace

namespace interruption {

void catchSignals() {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A writer to a program that has gone gets an error to report rather
    // than a silent death.
    std::signal(SIGPIPE, SIG_IGN);
}

int signalNumber() { return caught; }

}  // namespace interruption
