#include "print/engine/Pages.h"

#include <utility>

namespace report {

PageStream PagesFor(const std::vector<PreparedPage>& pages, const PrintChoices& choices) {
    PageOrder order(choices, int(pages.size()));
    const long long count = order.Count();
    return {count, [&pages, order = std::move(order)](long long i) -> const PreparedPage& {
                return pages[std::size_t(order.At(i))];
            }};
}

PageStream StreamOf(std::vector<const PreparedPage*> pages) {
    const auto count = static_cast<long long>(pages.size());
    return {count, [pages = std::move(pages)](long long i) -> const PreparedPage& { return *pages[std::size_t(i)]; }};
}

}  // namespace report
