// MemoryDataSetReader: a dataset held in memory (column names and rows of
// text or null), for feeding the models without a server.
#pragma once

#include "catalog/DataSetReader.h"

#include <optional>
#include <string>
#include <vector>

class TMemoryDataSetReader : public IDataSetReader {
public:
    using Cell = std::optional<std::string>;
    using Row = std::vector<Cell>;

    TMemoryDataSetReader(std::vector<std::string> columns, std::vector<Row> rows);

    void First() override;
    void Next() override;
    bool Eof() const override;
    int FieldCount() const override;
    TDataSetField Field(int index) const override;
    TDataSetField FieldByName(std::string_view name) const override;

private:
    std::vector<std::string> Columns_;
    std::vector<Row> Rows_;
    std::size_t Current_ = 0;
};
