// dictionary_schema.h - the SYS tables behind the data dictionary views and
// the views themselves, created once in a new sandbox database.
#pragma once

#include <string>

namespace sandbox::dict {

// SQL creating the SYS tables (USER$, OBJ$, SOURCE$, ARGUMENT$, ERROR$, SEQ$,
// PROPS$, DUAL) and the ALL_/USER_ views with Oracle's columns.
const std::string& bootstrapSql();

// NAMESPACE of ALL_OBJECTS for an object type.
int namespaceOf(const std::string& objectType);

} // namespace sandbox::dict
