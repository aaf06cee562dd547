// ora_error.h - the error every layer of the sandbox server raises.
//
// An Oracle error carries its number and its full text. The text starts with
// the code ("ORA-00942: table or view does not exist") and may continue on
// further lines with the error stack (ORA-06512 "at" lines, ORA-06550 blocks).
#pragma once

#include <stdexcept>
#include <string>

namespace sandbox {

class OraError : public std::runtime_error {
public:
    // `code` is the positive error number (942 for ORA-00942); `text` is the
    // whole message, code prefix included.
    OraError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}

    int code() const { return code_; }
    const std::string& text() const { return text_ = what(), text_; }

    // "ORA-" + five digits + ": " + message.
    static OraError make(int code, const std::string& message);

private:
    int code_;
    mutable std::string text_;
};

// Formats "ORA-00942" for a positive code.
std::string oraCode(int code);

} // namespace sandbox
