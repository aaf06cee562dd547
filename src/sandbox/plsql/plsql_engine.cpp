// plsql_engine.cpp - placeholder engine until the interpreter lands: it
// claims no statement, so the server answers PL/SQL with ORA-00900.
#include "sandbox/plsql/plsql_engine.h"

namespace sandbox::plsql {
namespace {

class NoPlsql : public PlsqlEngine {
public:
    bool handles(std::string_view) const override { return false; }
    ExecResult execute(SessionServices&, const std::string&, std::vector<BindVar>&) override
    {
        return {};
    }
    SqlFunction resolveFunction(SessionServices&, const std::string&) override { return {}; }
};

} // namespace

std::shared_ptr<PlsqlEngine> makePlsqlEngine() { return std::make_shared<NoPlsql>(); }

} // namespace sandbox::plsql
