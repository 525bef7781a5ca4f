#include "print/engine/PrintChoices.h"

#include <QStringList>

#include <algorithm>

namespace report {

std::vector<int> ParsePageNumbers(const QString& text, int pageCount) {
    std::vector<bool> chosen(std::max(pageCount, 0) + 1, false);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) std::fill(chosen.begin() + 1, chosen.end(), true);
    for (const QString& part : trimmed.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(u'-');
        if (ends.size() > 2) continue;
        bool okFirst = true, okLast = true;
        const QString first = ends[0].trimmed(), last = ends.size() == 2 ? ends[1].trimmed() : first;
        int from = first.isEmpty() && ends.size() == 2 ? 1 : first.toInt(&okFirst);
        int to = last.isEmpty() && ends.size() == 2 ? pageCount : last.toInt(&okLast);
        if (!okFirst || !okLast || (first.isEmpty() && last.isEmpty())) continue;
        if (from > to) std::swap(from, to);
        for (int page = std::max(from, 1); page <= std::min(to, pageCount); ++page) chosen[page] = true;
    }
    std::vector<int> pages;
    for (int page = 1; page <= pageCount; ++page) {
        if (chosen[page]) pages.push_back(page);
    }
    return pages;
}

PageOrder::PageOrder(const PrintChoices& choices, int pageCount)
    : copies_(std::max(choices.copies, 1)), collate_(choices.collate) {
    std::vector<int> numbers;
    switch (choices.range) {
    case PrintChoices::Range::All: numbers = ParsePageNumbers({}, pageCount); break;
    case PrintChoices::Range::Current:
        if (choices.current >= 1 && choices.current <= pageCount) numbers = {choices.current};
        break;
    case PrintChoices::Range::Pages: numbers = ParsePageNumbers(choices.pages, pageCount); break;
    }
    for (int number : numbers) {
        if (choices.which == PrintChoices::Which::Odd && number % 2 == 0) continue;
        if (choices.which == PrintChoices::Which::Even && number % 2 == 1) continue;
        selected_.push_back(number - 1);
    }
    if (choices.reverse) std::reverse(selected_.begin(), selected_.end());
}

}  // namespace report
