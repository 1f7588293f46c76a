#pragma once
// A rewrite of the outermost SELECT for a caller that says which result
// columns it reads (db::forEachRow's `reads`):
//
//   SELECT T.ID, T.NAME, V.TEL AS PHONE FROM T LEFT JOIN V ON T.ID = V.ID
//     read ID  ->  SELECT T.ID FROM T LEFT JOIN V ON T.ID = V.ID
//
// The items nobody reads cost a lookup per row: the person list joins
// three views for its phone and mail columns, which a list that keeps only
// the key and the reading never reads. Once the items are gone, the
// unused-joins pass (UnusedJoins.h) drops the joins they alone needed.
//
// The rows (which, how many, in which order) stay those of the whole
// statement; so only where an item does not take part in making the rows:
// no DISTINCT, GROUP BY, HAVING, aggregate or compound, no '*', every item
// with a name of its own and no two with the same name (the columns keep
// their names), and no ORDER BY naming an item by position or by a name
// that a dropped item has. Otherwise the statement stays as it is. At
// least one item stays.
#include <string>
#include <vector>

#include "JetTree.h"
#include "engine/JetSql.h"

namespace lumo::db {

// Narrows the outermost select list of the statement's tree (JetTree.h)
// to the items named in `reads` (ignoring ASCII case): the other items
// leave the level's parts, each kept one with the comma before it.
// `st.items` and `st.qualifiers`, filled by the translation before, are
// narrowed with them. No change for an empty `reads`.
void narrowToReadColumns(tree::Tree& tree, const std::vector<std::string>& reads, JetStatement& st);

}  // namespace lumo::db
