// fast_paths.h - fused nodes for the hottest shapes of procedural code
// (counter updates, MOD of a variable): the semantic pass puts them in place
// of the general nodes, which they keep as the fallback for anything but
// whole numbers.
#pragma once

#include "sandbox/plsql/ast.h"

namespace sandbox::plsql {

// An operand that is read without evaluation: a local slot or an integer literal.
struct FastOperand {
    bool isSlot = false;
    int slot = 0;
    int64_t literal = 0;
};

// Returns a fused replacement for `s` (an AssignStmt), or nullptr.
StmtPtr fuseAssignment(StmtPtr& s);
// Returns a fused replacement for a MOD call, or nullptr.
ExprPtr fuseBuiltin(ExprPtr& e);

} // namespace sandbox::plsql
