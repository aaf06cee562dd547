// ora_error.cpp - formatting of Oracle error texts.
#include "sandbox/ora_error.h"

#include <cstdio>

namespace sandbox {

std::string oraCode(int code)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "ORA-%05d", code < 0 ? -code : code);
    return buf;
}

OraError OraError::make(int code, const std::string& message)
{
    return OraError(code, oraCode(code) + ": " + message);
}

} // namespace sandbox
