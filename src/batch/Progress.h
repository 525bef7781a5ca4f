#pragma once
class QTextStream;

namespace batch {

// What the progress line calls the pages drawn so far.
constexpr const char* kDrawing = "pagine disegnate";

// The progress line of a long run on standard error, rewritten in place;
// silent when standard error is not a terminal or with --quiet.
class Progress {
public:
    Progress(QTextStream& err, bool shown) : err_(err), shown_(shown) {}
    ~Progress() { End(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of `total` pages through `stage`; a run of one page shows nothing.
    void Show(const char* stage, long long done, long long total);
    // Ends the line, so that what follows starts on a line of its own.
    void End();

private:
    QTextStream& err_;
    bool shown_;
    const char* stage_ = nullptr;
    long long percent_ = -1;
};

}  // namespace batch
