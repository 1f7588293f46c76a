#pragma once
// The array readers' loop: the caller's array is replaced row by row by the
// rows of the recordset (resized to n + 1 before row n is stored, keeping
// what it held), so after the loop it holds exactly the rows read; with no
// rows it is left untouched. A failure in row n leaves rows 0..n in place.
// The counter is a size_t: any number of rows can be read.
#include <cstddef>
#include <vector>

#include "engine/Recordset.h"

namespace lumo::access {

template <class T, class Fill>
void readRows(db::Recordset& rs, std::vector<T>& rows, Fill&& fill) {
    if (rs.Bof() || rs.Eof()) return;
    for (std::size_t n = 0; !rs.Eof(); ++n) {
        rows.resize(n + 1);
        fill(rows[n]);
        rs.MoveNext();
    }
}

}  // namespace lumo::access
