// DBOraclePLSQL: building the call block section by section.
#include "catalog/DBOraclePLSQL.h"

#include "catalog/DBObjects.h"
#include "catalog/DBTypes.h"
#include "catalog/PLSQLParameter.h"

#include <stdexcept>
#include <vector>

namespace {

using Rows = std::vector<const TParamObject*>;

// The local variable and bind variable of a row: "ret" for the result.
std::string RowName(const TParamObject& row)
{
    return row.IsResultRow() ? "ret" : row.ArgumentName;
}

void AddDeclarations(const Rows& rows, std::vector<std::string>& lines)
{
    if (rows.empty())
        return;
    lines.push_back("DECLARE");
    for (const TParamObject* row : rows) {
        std::string line = "  " + RowName(*row) + " " + std::string(DBDataTypeNames[row->DataType]);
        if (!IsNumericDataType(row->DataType))
            line += "(200)";
        lines.push_back(line + ";");
    }
}

void AddInputs(const Rows& rows, std::vector<std::string>& lines)
{
    lines.push_back("BEGIN");
    for (const TParamObject* row : rows)
        if (row->TakesValue())
            lines.push_back("  " + row->ArgumentName + " := :" + row->ArgumentName + ";");
}

// The result goes straight into the bind variable :ret. The dictionary
// lists the result row first, so ":ret := " precedes the program's name.
std::string CallLine(const TProcedureItem& item, const Rows& rows)
{
    std::string line = "  ";
    bool nameAdded = false;
    bool firstArgument = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TParamObject& row = *rows[i];
        if (row.IsResultRow())
            line += ":ret := ";
        if (!nameAdded) {
            line += item.ProcedureFullName();
            nameAdded = true;
        }
        if (!row.IsResultRow()) {
            if (firstArgument)
                line += "(";
            firstArgument = false;
            line += row.ArgumentName;
            line += (i + 1 == rows.size()) ? ")" : ", ";
        }
    }
    return line + ";";
}

void AddOutputs(const Rows& rows, std::vector<std::string>& lines)
{
    for (const TParamObject* row : rows)
        if (!row->IsResultRow() && row->ReturnsValue())
            lines.push_back("  :" + row->ArgumentName + " := " + row->ArgumentName + ";");
    lines.push_back("END;");
}

} // namespace

std::string BuildCallBlock(const TProcedureItem& item)
{
    const TParamModel* model = item.ProcedureParams;
    if (!model)
        throw std::logic_error("BuildCallBlock: " + item.ProcedureFullName()
                               + " has no argument model; open the program first");
    Rows rows;
    for (const auto& row : model->Items())
        rows.push_back(row.get());

    std::vector<std::string> lines;
    AddDeclarations(rows, lines);
    AddInputs(rows, lines);
    lines.emplace_back();
    lines.push_back(CallLine(item, rows));
    AddOutputs(rows, lines);

    std::string block;
    for (const std::string& line : lines)
        block += line + "\r\n";
    return block;
}
