// OraError: formatting of Oracle error messages and the error display hook.
#include "db/OraError.h"

#include <cstdio>
#include <iostream>
#include <mutex>

EOraError EOraError::Make(int errorCode, const std::string& text)
{
    char code[16];
    std::snprintf(code, sizeof code, "ORA-%05d: ", errorCode);
    return EOraError(errorCode, code + text);
}

namespace db {
namespace {

std::mutex& displayMutex()
{
    static std::mutex m;
    return m;
}

ErrorDisplay& installedDisplay()
{
    static ErrorDisplay display;
    return display;
}

} // namespace

void SetErrorDisplay(ErrorDisplay display)
{
    std::lock_guard lock(displayMutex());
    installedDisplay() = std::move(display);
}

void ShowError(const std::exception& error)
{
    if (dynamic_cast<const EAbort*>(&error))
        return;
    ErrorDisplay display;
    {
        std::lock_guard lock(displayMutex());
        display = installedDisplay();
    }
    if (display)
        display(error);
    else
        std::cerr << error.what() << '\n';
}

} // namespace db
