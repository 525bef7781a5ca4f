#pragma once

// What the program asks of the operating system about its own process. One
// side per system (posix/, win32/); nothing else includes a system's headers.
namespace platform {

// Whether standard error is a terminal (a person watching), not a file or pipe.
bool StandardErrorIsTerminal();

// A reader that closes its end of a pipe early makes a write fail, which is
// reported, instead of ending the process without a word.
void KeepRunningOnClosedPipe();

// Keeps every asynchronous signal away from the calling thread: a worker
// thread calls it first, so that the process's handlers run on the threads
// that expect them.
void BlockSignalsOnThisThread();

}  // namespace platform
