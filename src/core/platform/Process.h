#pragma once
#include <QString>

#include <optional>

// What the program asks of the operating system about processes. One side per
// system (posix/, win32/); nothing else includes a system's headers.
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

// This computer's name on the network.
QString HostName();
// The name the system knows the user running the program by.
QString UserName();
// This process's number.
long long ProcessId();
// Whether the process numbered pid on this computer runs; none where that
// cannot be told.
std::optional<bool> ProcessRuns(long long pid);
// Whether another process of this user holds the document open (a
// spreadsheet program showing it).
bool OpenByAnotherProcess(const QString& document);

}  // namespace platform
