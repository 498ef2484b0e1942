// What a table row type must be: a pointer-free, trivially copyable struct
// whose fields sit at the file's offsets (each row header asserts them), so
// that a row can be read in place from a table's heap copy and written by the
// sample-data builder from the same declaration. Heap blocks are 16-byte
// aligned and row sizes are multiples of the row's alignment, so every row of
// a table starts aligned.
#pragma once

#include <bit>
#include <cstddef>
#include <type_traits>

template <class Row>
concept TableRow = std::is_trivially_copyable_v<Row> && std::is_standard_layout_v<Row> &&
                       alignof(Row) <= 4 &&
                   sizeof(Row) % alignof(Row) == 0;

static_assert(std::endian::native == std::endian::little, "table rows are little-endian images");
