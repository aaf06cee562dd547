// plsql_engine.h - creates the PL/SQL engine that a sandbox server runs
// anonymous blocks and stored units with.
#pragma once

#include "sandbox/engine.h"

#include <memory>

namespace sandbox::plsql {

std::shared_ptr<PlsqlEngine> makePlsqlEngine();

} // namespace sandbox::plsql
