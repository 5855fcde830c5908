#pragma once

#include <functional>

// SIGTERM and SIGINT end the run through the event loop rather than at once,
// so what is buffered for the log and the capture reaches the disk first:
// beforeExit runs on the user-interface thread, then the run ends with status
// 128 + the signal's number, as a shell reports a signalled program.
void EndRunOnTerminationSignals(std::function<void()> beforeExit);
