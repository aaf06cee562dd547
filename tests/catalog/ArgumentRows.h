// ArgumentRows: builds an ALL_ARGUMENTS dataset in memory from short row
// descriptions, for the argument-model and call-block tests.
#pragma once

#include "catalog/MemoryDataSetReader.h"

#include <optional>
#include <string>
#include <vector>

struct ArgumentRow {
    std::optional<std::string> Name;  // null for a function's result
    int Position;
    std::string DataType;
    std::string InOut;
};

inline TMemoryDataSetReader ArgumentsDataSet(const std::vector<ArgumentRow>& rows)
{
    std::vector<TMemoryDataSetReader::Row> cells;
    int sequence = 1;
    for (const ArgumentRow& row : rows)
        cells.push_back({"4711", std::string("F"), row.Name, std::to_string(row.Position),
                         std::to_string(sequence++), row.DataType, row.InOut});
    return TMemoryDataSetReader({"OBJECT_ID", "OBJECT_NAME", "ARGUMENT_NAME", "POSITION",
                                 "SEQUENCE", "DATA_TYPE", "IN_OUT"},
                                std::move(cells));
}
