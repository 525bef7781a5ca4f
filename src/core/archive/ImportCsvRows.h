#pragma once
#include "core/archive/DataRecord.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace csv_import {

// The fields a file can fill, in the record's order: Nome, Tipo, Rigo01 to
// Rigo06, Note.
constexpr int kFields = DataRecord::Note + 1;

// The fields of one record in Windows-1252, trimmed, at most 250 bytes each,
// without control characters.
using Row = std::array<QByteArray, kFields>;

// The rows of an import, packed: each field a length byte and its bytes, the
// rows one after the other in blocks of 1 MiB (a row never spans two blocks),
// each found by its start. A row is given back as a Row.
class Rows {
public:
    class Iterator {
    public:
        Iterator(const Rows& rows, std::size_t index) : rows_(&rows), index_(index) {}
        Row operator*() const { return (*rows_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const Rows* rows_;
        std::size_t index_;
    };

    std::size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    Row operator[](std::size_t i) const;
    Row front() const { return (*this)[0]; }
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size()}; }
    // Throws std::length_error for a field of more than 250 bytes.
    void push_back(const Row& row);

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    std::vector<std::vector<char>> blocks_;
    std::vector<std::uint64_t> starts_;  // block number × kBlockSize + offset in the block
};

}  // namespace csv_import
