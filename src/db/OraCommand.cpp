// OraCommand: bind discovery and execution with write-back.
#include "db/OraCommand.h"

#include "db/OraError.h"
#include "db/OraSession.h"
#include "db/SqlLexer.h"

#include <stdexcept>

TOraCommand::TOraCommand(TOraSession* session) : session_(session)
{
    sql_.SetOnChange([this] { bindsStale_ = true; });
}

TOraCommandParams& TOraCommand::Params()
{
    if (bindsStale_ && !params_.Declared())
        rereadBinds();
    bindsStale_ = false;
    return params_;
}

void TOraCommand::rereadBinds()
{
    TOraCommandParams fresh;
    for (const auto& name : db::FindBindNames(sql_.Text())) {
        TOraParam& p = static_cast<TOraParams&>(fresh).Add(name, TParamDirection::InOut, TOraDataType::String);
        if (const TOraParam* old = params_.FindParam(name)) {
            p = *old;
        }
    }
    params_ = std::move(fresh);
}

db::DriverResult TOraCommand::run(const std::function<void(db::DriverResult&)>& whileLocked)
{
    if (!session_)
        throw std::logic_error("statement has no session");
    std::string text = sql_.Text();
    auto& params = Params();

    std::vector<db::DriverBind> binds;
    std::vector<TOraParam*> sent;
    for (const auto& name : db::FindBindNames(text)) {
        TOraParam* p = params.FindParam(name);
        if (!p)
            continue;   // the session reports the variable as not bound
        binds.push_back({p->Name(), p->DataType(), p->Direction(), p->Size(), p->Value()});
        sent.push_back(p);
    }
    db::DriverResult result = session_->Execute(text, binds, whileLocked);
    for (size_t i = 0; i < binds.size(); ++i)
        if (binds[i].direction != TParamDirection::In)
            sent[i]->SetValue(binds[i].value);
    return result;
}
