// DBOraclePLSQL: the anonymous block that calls a stored program through
// one bind variable per argument row.
#pragma once

#include <string>

class TProcedureItem;

// The call block for a program from the rows of its argument model, every
// line ending in CR LF (the last one too). Throws std::logic_error when the
// program has no argument model (it was never opened in a tab).
std::string BuildCallBlock(const TProcedureItem& item);
