// parser.h - recursive-descent parser from PL/SQL source to the syntax tree.
#pragma once

#include "sandbox/plsql/ast.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sandbox::plsql {

// A compile error or a companion row ("PL/SQL: Statement ignored"), as ALL_ERRORS keeps it.
struct CompileError {
    int line = 1;
    int col = 1;
    std::string text;     // "PLS-00103: Encountered the symbol ..."
    int number = 0;       // 103; 0 for the companions
};

enum class SourceKind { Procedure, Function, Package, PackageBody, Anonymous, Unknown };

struct ParsedSource {
    SourceKind kind = SourceKind::Unknown;
    std::string owner, name;                       // as declared ("DEMO", "GET_RATE"); owner may be empty
    std::vector<std::unique_ptr<Routine>> routines; // every routine; [0] is the main one for standalone units and blocks
    Routine* main = nullptr;
    std::unique_ptr<Block> packageBlock;           // package spec declarations, or body declarations + init
    std::vector<CompileError> errors;              // syntax errors, in the order found
};

// Parses a stored unit as ALL_SOURCE holds it (starting at PROCEDURE, FUNCTION,
// PACKAGE or PACKAGE BODY) or an anonymous block (DECLARE / BEGIN / <<label>>).
ParsedSource parseSource(std::string_view source);

// The head of a CREATE statement: what it creates and where the stored text starts.
struct CreateHead {
    bool ok = false;
    std::string kind;        // "PROCEDURE", "FUNCTION", "PACKAGE", "PACKAGE BODY", "TRIGGER", "TYPE", "TYPE BODY"
    std::string owner, name; // owner empty when not qualified
    size_t sourceStart = 0;  // byte offset of the kind keyword
};
CreateHead scanCreateHead(std::string_view statement);

} // namespace sandbox::plsql
