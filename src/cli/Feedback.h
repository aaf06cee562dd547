// Feedback: what tarnel-sql says after a statement that returns no rows
// ("1 row created.", "Table created.", "PL/SQL procedure successfully
// completed."), and which stored unit a statement compiles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

// The message after a successful statement. `rows` is the DML row count.
std::string FeedbackFor(const std::string& statement, int64_t rows);

// The message after a statement the server accepted with compilation
// errors (ORA-24344), e.g. "Warning: Procedure created with compilation errors."
std::string CompilationWarningFor(const std::string& statement);

// The unit a CREATE or ALTER ... COMPILE statement stores: its dictionary
// type ("PROCEDURE", "PACKAGE BODY") and name ("P", or "DEMO.P" when the
// owner was written), upper case unless quoted.
struct UnitRef {
    std::string type;
    std::string owner;      // empty when not written
    std::string name;
    std::string display() const { return owner.empty() ? name : owner + "." + name; }
};
std::optional<UnitRef> UnitOf(const std::string& statement);

} // namespace cli
