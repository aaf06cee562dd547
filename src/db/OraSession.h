// OraSession: one Oracle session: credentials, connect (through the connect
// dialog when ConnectPrompt is on), disconnect, and the lock that lets it
// execute one statement at a time.
//
// Thread use: any thread may execute; executions are serialised by the
// session's lock. Cancel may be called from any thread at any time.
// Connect, Disconnect and the property setters belong to the thread that
// owns the session (the UI thread in the application).
#pragma once

#include "db/Driver.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IConnectPrompt;

class TOraSession {
public:
    TOraSession() = default;
    explicit TOraSession(std::string name) : name_(std::move(name)) {}
    ~TOraSession();
    TOraSession(const TOraSession&) = delete;
    TOraSession& operator=(const TOraSession&) = delete;

    // The component name, reported to statement observers.
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    const std::string& Username() const { return username_; }
    void SetUsername(std::string v) { username_ = std::move(v); }
    const std::string& Password() const { return password_; }
    void SetPassword(std::string v) { password_ = std::move(v); }
    const std::string& Server() const { return server_; }
    void SetServer(std::string v) { server_ = std::move(v); }

    // The user name, then "/" and the password when one is set, then "@" and
    // the server when one is set. Setting it splits the text at the first
    // "/" and the last "@".
    std::string ConnectString() const;
    void SetConnectString(const std::string& connectString);

    // On by default: connecting opens the connect dialog.
    bool ConnectPrompt() const { return connectPrompt_; }
    void SetConnectPrompt(bool on) { connectPrompt_ = on; }
    // The dialog this session shows; null means the process default
    // (db::DefaultConnectPrompt()).
    void SetPrompt(IConnectPrompt* prompt) { prompt_ = prompt; }

    // Replaces the driver the server name would pick (tests use fakes).
    void SetDriver(std::shared_ptr<db::Driver> driver) { driver_ = std::move(driver); }

    bool Connected() const { return connected_.load(); }

    // Connects unless connected. With the prompt on, shows the dialog and
    // returns false when the user cancelled it (or it gave up after three
    // failed attempts). Without it, logs on directly and throws EOraError on
    // failure. Returns true when connected.
    bool Connect();
    // Logs on with the values held, never prompting; throws EOraError.
    void ConnectDirect();
    void Disconnect();

    // Asks the statement running on this session to stop (ORA-01013).
    void Cancel();

    // Runs one statement under the session's lock, connecting first when not
    // connected (a cancelled dialog throws EAbort). Reports the statement to
    // the observers. Throws EOraError for a server error; warnings are left
    // in the result for the caller. `whileLocked` sees the result before the
    // lock is released: a query reads its rows there, since a cursor lasts
    // only until the session's next statement. The returned result holds no
    // cursor.
    using ResultConsumer = std::function<void(db::DriverResult&)>;
    db::DriverResult Execute(const std::string& text, std::vector<db::DriverBind>& binds,
                             const ResultConsumer& whileLocked = {});

private:
    void ensureConnected();

    std::string name_ = "OraSession";
    std::string username_, password_, server_;
    bool connectPrompt_ = true;
    IConnectPrompt* prompt_ = nullptr;
    std::shared_ptr<db::Driver> driver_;

    std::mutex execMutex_;     // one statement at a time
    std::mutex stateMutex_;    // guards conn_ for Cancel from another thread
    std::unique_ptr<db::DriverSession> conn_;
    std::atomic<bool> connected_{false};
};

namespace db {
// The design-time values the debugger session's connect dialog starts with.
inline constexpr const char* DefaultUsername = "DEMO";
inline constexpr const char* DefaultServer = "sandbox";
} // namespace db
