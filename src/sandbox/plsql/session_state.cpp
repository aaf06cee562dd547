// session_state.cpp - creation of the per-session PL/SQL state.
#include "sandbox/plsql/session_state.h"

#include "sandbox/plsql/exec.h"

namespace sandbox::plsql {

PlsqlSession::PlsqlSession() = default;
PlsqlSession::~PlsqlSession() = default;

PlsqlSession& plsqlSession(SessionServices& s)
{
    auto& ext = s.plsqlState();
    if (!ext)
        ext = std::make_unique<PlsqlSession>();
    return static_cast<PlsqlSession&>(*ext);
}

} // namespace sandbox::plsql
