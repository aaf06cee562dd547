// SmartQuery: a query: open it, walk its rows, read fields by position or
// by name. Opening reads every row, so the session is free for other
// statements while the rows are walked.
#pragma once

#include "db/OraCommand.h"

#include <cstdint>
#include <string>
#include <vector>

class TSmartQuery;

// One column of the open query, read at the current row.
class TOraField {
public:
    TOraField(const TSmartQuery& query, int index, db::DriverColumn column)
        : query_(&query), index_(index), column_(std::move(column)) {}

    const std::string& FieldName() const { return column_.name; }
    db::DriverColumn::Type DataType() const { return column_.type; }

    bool IsNull() const { return !value().has_value(); }
    // NULL reads as "" and 0. AsInteger rounds a fraction and throws
    // std::invalid_argument for text that is no integer.
    std::string AsString() const;
    int AsInteger() const;
    int64_t AsLargeInt() const;
    const db::OraValue& Value() const { return value(); }

private:
    const db::OraValue& value() const;

    const TSmartQuery* query_;
    int index_;
    db::DriverColumn column_;
};

class TSmartQuery : public TOraCommand {
public:
    explicit TSmartQuery(TOraSession* session = nullptr) : TOraCommand(session) {}

    // Runs the text; a query's rows are read at once. Positions on the first
    // row. Throws EOraError; the query then stays closed. Any other
    // statement may be opened too (it has no fields): its Out values are
    // read back, and a server warning such as ORA-24344 is raised after the
    // effects were kept, as TOraSQL::Execute does.
    void Open();
    void Close();
    bool Active() const { return active_; }

    void First() { row_ = 0; }
    void Next() { if (row_ < rows_.size()) ++row_; }
    bool Eof() const { return row_ >= rows_.size(); }
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    int RecNo() const { return static_cast<int>(row_); }
    // Rows the last statement touched when it was DML.
    int64_t RowsAffected() const { return rowsAffected_; }

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    // Throws std::out_of_range for a position outside 0..FieldCount()-1.
    const TOraField& Fields(int index) const;
    // Case-insensitive; nullptr when absent.
    const TOraField* FindField(const std::string& name) const;
    // Throws std::invalid_argument naming a missing field.
    const TOraField& FieldByName(const std::string& name) const;

private:
    friend class TOraField;
    const db::OraValue& valueAt(int column) const;

    std::vector<TOraField> fields_;
    std::vector<std::vector<db::OraValue>> rows_;
    size_t row_ = 0;
    int64_t rowsAffected_ = 0;
    bool active_ = false;
};
