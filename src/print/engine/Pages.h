#pragma once
#include "print/engine/PrintChoices.h"
#include "print/engine/Prepared.h"

#include <functional>
#include <stdexcept>
#include <vector>

// Prepared pages on their way to paper or to a file, as every printing path
// takes them; and the error of that way.
namespace report {

// An error of the printer driver, the spooler or the output file.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The pages of a print, made as they are drawn: `page(i)` is asked for each
// i from 0 to count - 1, in order, on the calling thread, and the page it
// gives stays as it is until the next call; so a long document made one page
// at a time never holds more than a few.
struct PageStream {
    long long count = 0;
    std::function<const PreparedPage&(long long)> page;
};

// Told how many of how many pages are drawn, after each page.
using PageProgress = std::function<void(long long done, long long total)>;

// The pages of a short list, for instance {&page}.
PageStream StreamOf(std::vector<const PreparedPage*> pages);
// The pages to paint as `choices` pick them from `pages`, copies included;
// with no choices every page once, in order. `pages` must outlive them.
PageStream PagesFor(const std::vector<PreparedPage>& pages, const PrintChoices& choices = {});

}  // namespace report
