// ResultFormat: query results as SQL*Plus lays them out: a heading line, a
// line of dashes, then the rows; numbers right-aligned, text left-aligned.
#pragma once

#include "db/Driver.h"

#include <string>
#include <vector>

namespace cli {

struct ResultTable {
    std::vector<db::DriverColumn> columns;
    std::vector<std::vector<db::OraValue>> rows;
};

// The heading, dashes and rows, each line ending in "\n" with no trailing
// blanks. A column is as wide as its widest value or heading; numbers take
// at least 10 places, as SQL*Plus's default NUMWIDTH. NULL shows as blank.
std::string FormatTable(const ResultTable& table, bool heading = true);

// "LINE/COL ERROR" table of SHOW ERRORS; each text is word-wrapped at 65
// columns, its further lines indented under the ERROR column.
struct CompileError {
    int line = 0;
    int position = 0;
    std::string text;
};
std::string FormatErrors(const std::vector<CompileError>& errors);

} // namespace cli
