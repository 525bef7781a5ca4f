#pragma once
#include <QString>

#include <vector>

namespace report {

// What the print dialog lets the user choose about pages and copies.
struct PrintChoices {
    enum class Range { All, Current, Pages };
    enum class Which { All, Odd, Even };
    Range range = Range::All;
    QString pages;     // "1,3,5-12", for Range::Pages
    int current = 1;   // 1-based page on show, for Range::Current
    Which which = Which::All;
    bool reverse = false;
    int copies = 1;
    bool collate = true;
};

// The 1-based page numbers that `text` names ("1,3,5-12"; "7-" runs to the
// last page, "-3" from the first), ascending and each once, limited to
// 1..pageCount. Empty text names every page; unreadable parts name none.
std::vector<int> ParsePageNumbers(const QString& text, int pageCount);

// The pages to paint, as 0-based indices in painting order, copies included:
// the range, then odd or even page numbers, then the order; collated copies
// repeat the whole sequence, uncollated ones repeat each page in place. The
// pages chosen are listed once; the page at each position of the copies is
// computed, so 9,999 copies of a long document cost no more memory than one.
class PageOrder {
public:
    PageOrder(const PrintChoices& choices, int pageCount);

    // How many pages are painted, copies included.
    long long Count() const { return static_cast<long long>(selected_.size()) * copies_; }
    // The 0-based page painted at position i (0 <= i < Count()).
    int At(long long i) const {
        const auto n = static_cast<long long>(selected_.size());
        return selected_[static_cast<std::size_t>(collate_ ? i % n : i / copies_)];
    }

private:
    std::vector<int> selected_;
    long long copies_;
    bool collate_;
};

}  // namespace report
