// OraCommand: what a statement and a query share: the session, the text as
// lines and the bind variables, and running the text with them.
//
// Binds follow the text until the program declares its own: while no
// variable was added with Params().Add, every change of the text re-reads
// the ":name" binds from it (each an In/Out string until given a value of
// another type, keeping the settings of a name it had before). Declared
// variables stay as declared; those the text does not use are not sent.
#pragma once

#include "db/Driver.h"
#include "db/OraParam.h"
#include "db/OraStrings.h"

#include <functional>
#include <string>

class TOraSession;

// A statement's variables: Add declares one (from then on the text no longer
// decides the list); Clear empties the list, and the next change of the text
// fills it from the text again. (Clear does not re-read at once: clearing and
// then declaring is how a program replaces the list.)
class TOraCommandParams : public TOraParams {
public:
    TOraParam& Add(const std::string& name, TParamDirection direction, TOraDataType type, int size = 0)
    {
        declared_ = true;
        return TOraParams::Add(name, direction, type, size);
    }
    void Clear() { declared_ = false; TOraParams::Clear(); }
    bool Declared() const { return declared_; }

private:
    bool declared_ = false;
};

class TOraCommand {
public:
    explicit TOraCommand(TOraSession* session = nullptr);
    virtual ~TOraCommand() = default;
    TOraCommand(const TOraCommand&) = delete;
    TOraCommand& operator=(const TOraCommand&) = delete;

    TOraSession* Session() const { return session_; }
    void SetSession(TOraSession* session) { session_ = session; }

    TOraStrings& SQL() { return sql_; }
    const TOraStrings& SQL() const { return sql_; }

    // The variables; Add declares, Clear returns to binds read from the text.
    TOraCommandParams& Params();
    TOraParam& ParamByName(const std::string& name) { return Params().ParamByName(name); }

protected:
    // Sends the text with its binds, writes Out and InOut values back into
    // the variables, and hands the result to `whileLocked` under the
    // session's lock.
    db::DriverResult run(const std::function<void(db::DriverResult&)>& whileLocked = {});

private:
    void rereadBinds();

    TOraSession* session_;
    TOraStrings sql_;
    TOraCommandParams params_;
    bool bindsStale_ = false;
};
