// ConnectPrompt: the connect dialog as the session sees it. The rules of the
// dialog (what it shows, where the focus goes, three tries) live in
// TConnectDialogModel so that the Qt dialog and the scripted prompts of tests
// follow the same ones.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TOraSession;

class TConnectDialogModel {
public:
    enum class Outcome { Connected, Retry, GaveUp };
    static constexpr int MaxAttempts = 3;

    // Filled from the session's user name, password and server; the server
    // list is "sandbox" and the aliases of tnsnames.ora.
    explicit TConnectDialogModel(TOraSession& session);

    std::string Username, Password, Server;
    const std::vector<std::string>& Servers() const { return servers_; }
    void SetServers(std::vector<std::string> servers) { servers_ = std::move(servers); }

    // A user name is filled and the password empty: the password field takes
    // the focus when the dialog opens.
    bool FocusOnPassword() const { return !Username.empty() && Password.empty(); }

    // "Connect": stores the three values in the session and tries to connect.
    // Connected closes the dialog; Retry keeps it open showing LastError();
    // the third failure gives GaveUp, which closes it as cancelled.
    Outcome Submit();
    const std::string& LastError() const { return lastError_; }
    int Failures() const { return failures_; }

private:
    TOraSession& session_;
    std::vector<std::string> servers_;
    std::string lastError_;
    int failures_ = 0;
};

// Shows the connect dialog modally. Returns true when the session connected,
// false when the dialog was cancelled or gave up.
class IConnectPrompt {
public:
    virtual ~IConnectPrompt() = default;
    virtual bool Execute(TConnectDialogModel& model) = 0;
};

namespace db {

// The prompt every session with ConnectPrompt on uses unless it has its
// own: the Qt dialog in the application, a scripted one in tests. Without
// one, such a session connects directly with the values it holds.
void SetDefaultConnectPrompt(IConnectPrompt* prompt);
IConnectPrompt* DefaultConnectPrompt();

} // namespace db
