#include "core/archive/ImportCsvRows.h"

#include <stdexcept>

namespace csv_import {

Row Rows::operator[](std::size_t i) const {
    const std::uint64_t start = starts_[i];
    const char* at = blocks_[start / kBlockSize].data() + start % kBlockSize;
    Row row;
    for (QByteArray& field : row) {
        const auto size = static_cast<unsigned char>(*at++);
        field = QByteArray(at, size);
        at += size;
    }
    return row;
}

void Rows::push_back(const Row& row) {
    std::size_t size = 0;
    for (const QByteArray& field : row) {
        if (field.size() > ShortText250::kMaxLength) throw std::length_error("campo di oltre 250 byte");
        size += 1 + static_cast<std::size_t>(field.size());
    }
    if (blocks_.empty() || blocks_.back().size() + size > kBlockSize) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlockSize);
    }
    std::vector<char>& block = blocks_.back();
    starts_.push_back((blocks_.size() - 1) * kBlockSize + block.size());
    for (const QByteArray& field : row) {
        block.push_back(static_cast<char>(field.size()));
        block.insert(block.end(), field.begin(), field.end());
    }
}

}  // namespace csv_import
