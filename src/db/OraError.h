// OraError: the Oracle error class every data-access operation raises, the
// silent abort of a cancelled connect, and the application's error display.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

// A server error: its number and its whole message, which starts with the
// code ("ORA-00942: table or view does not exist") and may continue on more
// lines (ORA-06512 stack lines, ORA-06550 blocks).
class EOraError : public std::runtime_error {
public:
    EOraError(int errorCode, const std::string& message)
        : std::runtime_error(message), errorCode_(errorCode) {}

    // Builds "ORA-" + five digits + ": " + text.
    static EOraError Make(int errorCode, const std::string& text);

    int ErrorCode() const { return errorCode_; }
    std::string Message() const { return what(); }

private:
    int errorCode_;
};

// Raised when the user cancels the connect dialog that a statement opened to
// connect its session: the command ends without a message, so the error
// display ignores it.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

namespace db {

// The application's standard error display (a message box in the GUI). A
// script reports each rejected statement here. Until the application
// installs one, messages go to standard error. EAbort is never shown.
using ErrorDisplay = std::function<void(const std::exception&)>;
void SetErrorDisplay(ErrorDisplay display);
void ShowError(const std::exception& error);

} // namespace db
