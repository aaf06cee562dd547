// fuzz_plsql.cpp - libFuzzer target for the PL/SQL lexer, parser and semantic
// pass: any source text must compile or yield compile errors, never crash.
#include "sandbox/ora_error.h"
#include "sandbox/plsql/lexer.h"
#include "sandbox/plsql/parser.h"
#include "sandbox/plsql/semantic.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// A server with no stored units and no tables.
class EmptyEnv : public sandbox::plsql::CompileEnv {
public:
    Found findUnit(const std::string&, const std::string&) override { return {}; }
    std::vector<sandbox::Column> describe(const std::string&, const std::vector<std::string>&) override
    {
        throw sandbox::OraError::make(942, "table or view does not exist");
    }
    std::string schema() override { return "DEMO"; }
    bool userExists(const std::string& u) override { return u == "DEMO"; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& t : sandbox::plsql::tokenize(text))
        (void)sandbox::plsql::tokenDisplay(t);
    (void)sandbox::plsql::scanCreateHead(text);
    EmptyEnv env;
    auto parsed = sandbox::plsql::parseSource(text);
    if (parsed.kind == sandbox::plsql::SourceKind::Anonymous)
        (void)sandbox::plsql::compileAnonymous(env, text, {"B1", "RET"});
    else if (parsed.kind == sandbox::plsql::SourceKind::Package)
        (void)sandbox::plsql::compilePackage(env, text, nullptr, "DEMO");
    else if (parsed.kind == sandbox::plsql::SourceKind::Procedure || parsed.kind == sandbox::plsql::SourceKind::Function)
        (void)sandbox::plsql::compileRoutineUnit(env, text, "DEMO");
    return 0;
}
