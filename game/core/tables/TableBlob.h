// One table's heap copy: raw rows of a fixed size, no header. Rows are read
// in place through their typed struct (game/core/tables/*.h) by the one
// checked accessor At, which answers null for a missing table or a row past
// the end, so bad indices from data count as absent.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct TableBlob {
    uint8_t* data = nullptr;
    uint32_t size = 0; // bytes of rows (a timeline's end entry not included)

    template <TableRow Row> uint32_t Count() const {
        return static_cast<uint32_t>(size / sizeof(Row));
    }
    template <TableRow Row> const Row* At(uint32_t index) const {
        return data && index < Count<Row>()
                   ? reinterpret_cast<const Row*>(data + static_cast<size_t>(index) * sizeof(Row))
                   : nullptr;
    }
    // For the loader's adjustments of its own copies.
    template <TableRow Row> Row* MutableAt(uint32_t index) {
        return const_cast<Row*>(static_cast<const TableBlob*>(this)->At<Row>(index));
    }
};
