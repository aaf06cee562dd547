// server.cpp - the public Server and Session, forwarding to their impls.
#include "sandbox/server.h"

#include "sandbox/server_impl.h"
#include "sandbox/session_impl.h"

namespace sandbox {

Session::Session(std::unique_ptr<SessionImpl> impl) : impl_(std::move(impl)) {}
Session::~Session() = default;

ExecResult Session::execute(const std::string& text, std::vector<BindVar>& binds)
{
    return impl_->execute(text, binds);
}

void Session::cancel() { impl_->cancel(); }

const std::string& Session::user() const { return impl_->user(); }

Server::Server(std::unique_ptr<ServerImpl> impl) : impl_(std::move(impl)) {}
Server::~Server() = default;

std::unique_ptr<Session> Server::logon(const std::string& user, const std::string& password)
{
    return impl_->logon(user, password);
}

} // namespace sandbox
