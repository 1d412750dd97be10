// Reading the rows of the category queries (groups and categories share the
// table Category; cg is the row's group) as TCategoryRow
// (model/CategoryRow.h). Used by the category and category translation
// queries (CatalogReads.h), on the catalogue worker thread.
#pragma once

#include "db/session/DbSession.h"
#include "model/CategoryRow.h"

namespace ooa {

// The select list and joins both category queries start with.
extern const char* const kCategorySelect;

TCategoryRow ReadCategoryRow(const TRecordSet& rows, int row);

}  // namespace ooa
