// Describe: dictionary reads for DESCRIBE and their layout.
#include "cli/Describe.h"

#include "db/OraError.h"
#include "db/SmartQuery.h"

#include <vector>

namespace cli {
namespace {

std::string pad(const std::string& s, size_t width)
{
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string trimRight(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string objectType(TOraSession& session, const std::string& owner, const std::string& name)
{
    TSmartQuery q(&session);
    q.SQL().SetText("SELECT object_type FROM all_objects WHERE owner = :owner AND object_name = :name"
                    " AND object_type IN ('TABLE', 'VIEW', 'FUNCTION', 'PROCEDURE', 'PACKAGE')");
    q.ParamByName("owner").SetAsString(owner);
    q.ParamByName("name").SetAsString(name);
    q.Open();
    return q.Eof() ? std::string() : q.Fields(0).AsString();
}

std::string describeColumns(TOraSession& session, const std::string& owner, const std::string& name)
{
    TSmartQuery q(&session);
    q.SQL().SetText("SELECT column_name, data_type, nullable FROM all_tab_columns"
                    " WHERE owner = :owner AND table_name = :name ORDER BY column_id");
    q.ParamByName("owner").SetAsString(owner);
    q.ParamByName("name").SetAsString(name);
    q.Open();
    std::string out = trimRight(" " + pad("Name", 41) + " " + pad("Null?", 8) + " Type") + "\n";
    out += " " + std::string(41, '-') + " " + std::string(8, '-') + " " + std::string(28, '-') + "\n";
    for (q.First(); !q.Eof(); q.Next()) {
        std::string nullable = q.Fields(2).AsString() == "N" ? "NOT NULL" : "";
        out += trimRight(" " + pad(q.Fields(0).AsString(), 41) + " " + pad(nullable, 8) + " "
                         + q.Fields(1).AsString()) + "\n";
    }
    return out;
}

struct Argument {
    std::string subprogram, overload, name, type, inOut;
    int position = 0;
    bool defaulted = false;
};

std::string argumentTable(const std::vector<Argument>& args)
{
    std::string out = trimRight(" " + pad("Argument Name", 30) + " " + pad("Type", 23) + " In/Out Default?") + "\n";
    out += " " + std::string(30, '-') + " " + std::string(23, '-') + " ------ --------\n";
    for (const auto& a : args)
        out += trimRight(" " + pad(a.name, 30) + " " + pad(a.type, 23) + " " + pad(a.inOut, 6) + " "
                         + (a.defaulted ? "DEFAULT" : "")) + "\n";
    return out;
}

std::vector<Argument> readArguments(TOraSession& session, const std::string& owner, const std::string& name,
                                    bool package)
{
    TSmartQuery q(&session);
    q.SQL().SetText(std::string("SELECT object_name, overload, argument_name, position, data_type, in_out,")
                    + " defaulted FROM all_arguments WHERE data_level = 0 AND owner = :owner AND "
                    + (package ? "package_name = :name" : "object_name = :name AND package_name IS NULL")
                    + " ORDER BY object_name, overload, sequence");
    q.ParamByName("owner").SetAsString(owner);
    q.ParamByName("name").SetAsString(name);
    q.Open();
    std::vector<Argument> all;
    for (q.First(); !q.Eof(); q.Next())
        all.push_back({q.Fields(0).AsString(), q.Fields(1).AsString(), q.Fields(2).AsString(),
                       q.Fields(4).AsString(), q.Fields(5).AsString(),
                       q.Fields(3).IsNull() ? 0 : q.Fields(3).AsInteger(), q.Fields(6).AsString() == "Y"});
    return all;
}

// One block per subprogram (per overload): "PROCEDURE P" or "FUNCTION F
// RETURNS type", then its arguments.
std::string describeArguments(TOraSession& session, const std::string& owner, const std::string& name,
                              const std::string& type)
{
    auto all = readArguments(session, owner, name, type == "PACKAGE");
    if (all.empty())
        return type == "PACKAGE" ? std::string() : type + " " + name + "\n";
    std::string out;
    for (size_t i = 0; i < all.size();) {
        const std::string sub = all[i].subprogram, overload = all[i].overload;
        std::string returns;
        std::vector<Argument> args;
        for (; i < all.size() && all[i].subprogram == sub && all[i].overload == overload; ++i) {
            if (all[i].position == 0 && all[i].name.empty())
                returns = all[i].type;
            else if (!all[i].name.empty())
                args.push_back(all[i]);
        }
        if (!out.empty())
            out += "\n";
        out += returns.empty() ? "PROCEDURE " + sub + "\n" : "FUNCTION " + sub + " RETURNS " + returns + "\n";
        if (!args.empty())
            out += argumentTable(args);
    }
    return out;
}

} // namespace

std::string Describe(TOraSession& session, const std::string& owner, const std::string& name)
{
    std::string type = objectType(session, owner, name);
    if (type.empty())
        throw EOraError::Make(4043, "object " + name + " does not exist");
    if (type == "TABLE" || type == "VIEW")
        return describeColumns(session, owner, name);
    return describeArguments(session, owner, name, type);
}

} // namespace cli
