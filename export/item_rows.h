// The rows an item becomes in the exported database (the tables of
// database_schema.h), gathered in batches that a writer thread inserts while
// the next items load. Texts are converted to UTF-8 as they are gathered, so a
// batch owns everything its rows hold.
//
// Lists are numbered from 1 in stored order. A requirement set is one row; an
// action without sets, an event without functions, a function without
// attributes and an item filed in no folder are one row whose list columns
// are NULL, so none of them is lost.
#pragma once

#include "export/database_schema.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarry {

class cItemRecord;

// One value of a row: NULL, a whole number, or a text held by the batch.
struct cCell {
    enum class eKind : std::uint8_t { null, number, text };
    eKind kind = eKind::null;
    std::uint32_t size = 0; // of a text, in bytes
    std::int64_t value = 0; // the number, or where the text begins in the batch
};

class cRowBatch {
public:
    // The values that follow, up to the next beginRow(), make one row of `table`.
    void beginRow(eTable table) { current_ = &cells_[table]; }
    void null() { current_->push_back(cCell{}); }
    void number(std::int64_t value) { current_->push_back(cCell{cCell::eKind::number, 0, value}); }
    // A text of the item file (Windows-1252), as UTF-8.
    void text(std::string_view windows1252);
    // A text that is UTF-8 already.
    void utf8(std::string_view text);

    // The values of the table's rows, row after row.
    const std::vector<cCell>& cells(eTable table) const { return cells_[table]; }
    std::string_view textOf(const cCell& cell) const {
        return std::string_view(texts_).substr(std::size_t(cell.value), cell.size);
    }
    // About how much memory the batch holds.
    std::size_t bytes() const;
    // Empties the batch for reuse; its memory stays unless an item made it huge.
    void clear();

private:
    std::vector<cCell> cells_[kTableCount];
    std::vector<cCell>* current_ = &cells_[kItems];
    std::string texts_;
};

// Where the rows of items go: the row source asks for the batch each row
// begins in, so a writer can hand full batches on in the middle of an item.
class cRowSink {
public:
    virtual ~cRowSink() = default;
    virtual cRowBatch& beginRow(eTable table) = 0;
};

// Every row of one item, its folders given as their tree paths; the one place
// that decides what the database holds of an item. The full-text index has
// no rows here: it is made from those of `items`.
void appendItemRows(const cItemRecord& item, const std::vector<std::string>& folders,
                    cRowSink& rows);

} // namespace quarry
