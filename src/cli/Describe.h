// Describe: the DESCRIBE command of tarnel-sql: the columns of a table or
// view, or the arguments of a function, procedure or package, laid out as
// SQL*Plus does.
#pragma once

#include <string>

class TOraSession;

namespace cli {

// `owner` upper case; `name` as the dictionary stores it. Throws EOraError
// (ORA-04043 when there is no such object).
std::string Describe(TOraSession& session, const std::string& owner, const std::string& name);

} // namespace cli
