#include "core/archive/ImportCsvParser.h"

#include "core/archive/ImportCsvRules.h"

#include <csv.h>

#include <new>

namespace csv_import {
namespace {

// How much more than kMaxCell libcsv may hold of one cell: blanks after it and
// its closing quote, and the block it grows its buffer by. Past that the cell
// is too long whatever it turns out to hold.
constexpr std::size_t kHeldPastMaxCell = 64 << 10;

// The only blank libcsv skips around a cell: the rest is trimmed later, and a
// tab is a separator, never a blank.
int SkippedBlank(unsigned char c) { return c == ' ' ? 1 : 0; }

// Whether libcsv begins a row with a byte of the piece: before a row it skips
// blanks and line ends.
bool BeginsRow(QByteArrayView piece) {
    for (char c : piece)
        if (!SkippedBlank(static_cast<unsigned char>(c)) && c != '\n' && c != '\r') return true;
    return false;
}

}  // namespace

bool SeparatorCount::Feed(QByteArrayView chunk) {
    for (char c : chunk) {
        if (c == '"') quoted_ = !quoted_;
        if (quoted_) continue;
        if (c == '\n' || c == '\r') {
            if (seen_) return false;
            continue;
        }
        seen_ = true;
        for (int i = 0; i < 3; ++i) counts_[i] += c == kCandidates[i];
    }
    return true;
}

char SeparatorCount::Separator() const {
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts_[i] > counts_[best]) best = i;
    return kCandidates[best];
}

Parser::Parser(RowRules& rules, char separator) : rules_(rules), parser_(std::make_unique<csv_parser>()) {
    csv_init(parser_.get(), 0);
    csv_set_delim(parser_.get(), static_cast<unsigned char>(separator));
    csv_set_space_func(parser_.get(), SkippedBlank);
}

Parser::~Parser() { csv_free(parser_.get()); }

bool Parser::Feed(QByteArrayView chunk) {
    for (qsizetype from = 0; from < chunk.size();) {
        // The "\n" of a "\r\n" ends no line of its own.
        const bool crlf = afterCr_ && chunk[from] == '\n';
        qsizetype end = from;
        if (!crlf)
            while (end < chunk.size() && chunk[end] != '\n' && chunk[end] != '\r') ++end;
        const bool lineEnds = end < chunk.size();
        const qsizetype to = lineEnds ? end + 1 : end;
        const QByteArrayView piece = chunk.sliced(from, to - from);
        // A piece is one line or a part of one: a row that begins in it
        // begins on this line, and ends at its end at the latest.
        if (rowLine_ == 0 && BeginsRow(piece)) rowLine_ = cellLine_ = Line();
        if (!Parse(piece)) return false;
        afterCr_ = lineEnds && chunk[end] == '\r';
        ended_ += lineEnds && !crlf;
        from = to;
        if (Overgrown()) return Stop(rowLine_, column_ + 1);
    }
    return true;
}

bool Parser::Finish() {
    if (stopped_) return false;
    // Strict at the end alone: csv_fini then refuses (its one failure) a
    // quoted cell still open, which it would otherwise close here, making
    // everything after its quote one cell.
    csv_set_opts(parser_.get(), CSV_STRICT | CSV_STRICT_FINI);
    const int finished = csv_fini(parser_.get(), OnCell, OnRowEnd, this);
    if (failure_) std::rethrow_exception(failure_);
    if (finished != 0) {
        rules_.QuoteLeftOpen(cellLine_, column_ + 1);
        stopped_ = true;
    }
    return !stopped_;
}

bool Parser::Parse(QByteArrayView piece) {
    const auto size = static_cast<std::size_t>(piece.size());
    const std::size_t parsed = csv_parse(parser_.get(), piece.data(), size, OnCell, OnRowEnd, this);
    if (failure_) std::rethrow_exception(failure_);
    // libcsv stops short only when it cannot grow its buffer.
    if (parsed != size) throw std::bad_alloc();
    return !stopped_;
}

// Whether libcsv holds far more of the cell being read than a cell may have.
bool Parser::Overgrown() const { return csv_get_buffer_size(parser_.get()) > kMaxCell + kHeldPastMaxCell; }

bool Parser::Stop(long long line, long long column) {
    rules_.CellTooLong(line, column);
    stopped_ = true;
    return false;
}

template <typename Rule>
void Parser::Call(const Rule& rule) {
    if (stopped_) return;
    try {
        rule();
    } catch (...) {
        failure_ = std::current_exception();
        stopped_ = true;
    }
}

void Parser::OnCell(void* data, std::size_t length, void* self) {
    auto& parser = *static_cast<Parser*>(self);
    parser.Call([&] { parser.Cell(QByteArrayView(static_cast<const char*>(data), static_cast<qsizetype>(length))); });
}

void Parser::OnRowEnd(int, void* self) {
    auto& parser = *static_cast<Parser*>(self);
    parser.Call([&] { parser.RowEnd(); });
}

void Parser::Cell(QByteArrayView cell) {
    ++column_;
    // libcsv calls back within the piece of the line that ends the cell: the
    // next cell of the row starts on this line.
    cellLine_ = Line();
    if (static_cast<std::size_t>(cell.size()) > kMaxCell || Overgrown()) {
        Stop(rowLine_, column_);
        return;
    }
    rules_.Cell(rowLine_, column_, cell);
}

void Parser::RowEnd() {
    rules_.RowEnd(rowLine_);
    rowLine_ = 0;
    column_ = 0;
}

}  // namespace csv_import
