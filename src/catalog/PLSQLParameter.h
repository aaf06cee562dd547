// PLSQLParameter: the argument model of a stored program: one row per row
// of ALL_ARGUMENTS, shown and edited in the Parameters grids.
#pragma once

#include "catalog/DBTypes.h"
#include "views/RkGridView.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class IDataSetReader;
class TProcedureItem;

// The dictionary query whose open dataset LoadArguments reads; binds
// :owner, :name and :type (DBObjectTypeNames of the program's kind).
extern const char* const ArgumentsSQL;

// One argument row. The result of a function is the row with Position 0.
// Value and IsNull are written by the grid (UI thread) and by a run's
// worker read-back, so they sit behind a lock.
class TParamObject : public TRkRowObject {
public:
    TProcedureItem* ProcedureItem = nullptr;  // not owned
    std::int32_t ObjectId = 0;
    std::string ArgumentName;  // empty for the result row
    std::int32_t Position = 0;
    std::int32_t Sequence = 0;
    TDBDataType DataType = dtVarchar;
    std::string InOut;  // "IN", "OUT" or "IN/OUT", as the dictionary gives it

    std::string Value() const;
    bool IsNull() const;
    // Stores a value; the row then has one (IsNull false).
    void SetValue(std::string value);
    // Back to no value: Value empty, IsNull true.
    void ClearValue();

    // Position 0.
    bool IsResultRow() const { return Position == 0; }
    // An argument row whose mode is not exactly "OUT" ("IN", "IN/OUT").
    bool TakesValue() const { return Position != 0 && InOut != "OUT"; }
    // The mode text occurs within "OUT": the OUT arguments and the result
    // row; an "IN/OUT" row does not return a value.
    bool ReturnsValue() const;

private:
    mutable std::mutex Mutex_;
    std::string Value_;
    bool IsNull_ = true;
};

// Columns: 0 "Name", 1 "Mode", 2 "Type", 3 "Value". Only the Value cell of
// an argument row (Position > 0) can be edited.
class TParamModel : public TDefaultModel {
public:
    TParamModel();
    // Frees the rows and, when the program still refers to this model,
    // clears its ProcedureParams.
    ~TParamModel() override;

    // Replaces the rows with those of the open dataset and ties model and
    // program together. A null OBJECT_ID, POSITION or SEQUENCE throws
    // EFieldConversion; the rows read before it stay.
    void LoadArguments(IDataSetReader& query, std::shared_ptr<TProcedureItem> item);

    int GetRowCount() const override;
    bool IsCellEditable(int column, int row) const override;
    // The grid view's column editor, preset with the row's stored Value.
    QWidget* GetCellEditor(int column, int row) override;
    // Blanks only clear the value; anything else is stored untrimmed.
    void SetCellText(int column, int row, const QString& text) override;
    std::string GetCellText(int column, int row) const override;
    // Null outside the rows.
    TParamObject* GetItem(int row) const override;

    const std::shared_ptr<TProcedureItem>& ProcedureItem() const { return ProcedureItem_; }
    const std::vector<std::unique_ptr<TParamObject>>& Items() const { return Items_; }

private:
    std::vector<std::unique_ptr<TParamObject>> Items_;
    std::shared_ptr<TProcedureItem> ProcedureItem_;
};
