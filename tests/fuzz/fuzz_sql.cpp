// fuzz_sql.cpp - libFuzzer target for the sandbox's SQL translation: any
// input must end in a translation or an OraError, never a crash.
#include "sandbox/ora_error.h"
#include "sandbox/script.h"
#include "sandbox/sql/formats.h"
#include "sandbox/sql/translator.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);

    sandbox::sql::TranslateOptions options;
    options.schema = "DEMO";
    options.resolvedIds = {"V_NAME", "REC.FIELD"};
    try {
        sandbox::sql::translate(text, options);
    } catch (const sandbox::OraError&) {
    }

    for (const sandbox::ScriptStatement& s : sandbox::splitScript(text)) {
        try {
            sandbox::sql::translate(s.text, options);
        } catch (const sandbox::OraError&) {
        }
    }

    // First line: a format model; the rest: a value to format or parse with it.
    size_t nl = text.find('\n');
    std::string_view fmt = text.substr(0, nl == std::string_view::npos ? text.size() : nl);
    std::string_view value = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    try {
        sandbox::sql::parseDate(value, fmt);
    } catch (const sandbox::OraError&) {
    }
    try {
        sandbox::sql::formatDate(sandbox::DateTime::fromParts(2024, 2, 29, 13, 5, 9), fmt);
    } catch (const sandbox::OraError&) {
    }
    try {
        if (auto n = sandbox::Number::parse(value)) sandbox::sql::formatNumber(*n, fmt);
        sandbox::sql::parseNumber(value, fmt);
    } catch (const sandbox::OraError&) {
    }
    return 0;
}
