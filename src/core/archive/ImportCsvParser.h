#pragma once
#include <QByteArrayView>

#include <exception>
#include <memory>

struct csv_parser;

// The CSV syntax, through libcsv: quotes, separators and line ends, and the
// line each cell lies on.
namespace csv_import {

class RowRules;

// The separator the first line that holds anything uses most outside quotes,
// counted as the text goes by; a comma when it uses none.
class SeparatorCount {
public:
    // Counts a chunk; false once that line has ended.
    bool Feed(QByteArrayView chunk);
    char Separator() const;

private:
    static constexpr char kCandidates[] = {',', ';', '\t'};
    long long counts_[3] = {};
    bool quoted_ = false;
    bool seen_ = false;
};

// Feeds libcsv a line at a time and hands each cell to the row rules with the
// line its row starts on. A line ends after "\n", "\r\n" or a lone "\r" (the
// line end of old Macintosh files), also where a chunk ends between "\r" and
// "\n". A cell that grows far past kMaxCell stops the read between two
// pieces, so that no more of it is held; a quote still open at the end stops
// it too, naming the line its cell starts on.
class Parser {
public:
    Parser(RowRules& rules, char separator);
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Parses the next chunk of the text; false once the read has stopped.
    bool Feed(QByteArrayView chunk);
    // The end of the text: the last row, when no line end follows it. False
    // when the read has stopped, or a quoted cell is still open.
    bool Finish();
    // The line being read.
    long long Line() const { return ended_ + 1; }

private:
    bool Parse(QByteArrayView piece);
    bool Overgrown() const;
    bool Stop(long long line, long long column);
    // Runs a rule from within libcsv's call back, which no exception may
    // cross: a failure is kept, and thrown again once libcsv returns.
    template <typename Rule>
    void Call(const Rule& rule);
    static void OnCell(void* data, std::size_t length, void* self);
    static void OnRowEnd(int, void* self);
    void Cell(QByteArrayView cell);
    void RowEnd();

    RowRules& rules_;
    std::unique_ptr<csv_parser> parser_;
    long long ended_ = 0;    // lines ended before the piece being parsed
    bool afterCr_ = false;   // whether the text so far ends with "\r"
    long long rowLine_ = 0;  // the line the row being read starts on, 0 before it starts
    long long cellLine_ = 0; // the line the cell being read starts on
    long long column_ = 0;   // cells of the row so far
    bool stopped_ = false;
    std::exception_ptr failure_;
};

}  // namespace csv_import
