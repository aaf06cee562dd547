// PLSQLParameter: loading argument rows and presenting them to a grid.
#include "catalog/PLSQLParameter.h"

#include "catalog/DBObjects.h"
#include "catalog/DataSetReader.h"

#include <QLineEdit>

#include <string_view>
#include <utility>

const char* const ArgumentsSQL =
    "Select *   from all_arguments  where object_id = (           select object_id             "
    "from all_objects            where owner = :owner              and object_name =:name      "
    "        and object_type = :type        )  order by Object_Name, Overload, Sequence";

namespace {

enum ParamColumn { colName = 0, colMode = 1, colType = 2, colValue = 3 };

// Blanks and control characters, as a typed value is trimmed for the test.
bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

bool IsBlank(const QString& text)
{
    for (QChar c : text)
        if (!IsBlankOrControl(c))
            return false;
    return true;
}

} // namespace

std::string TParamObject::Value() const
{
    std::lock_guard lock(Mutex_);
    return Value_;
}

bool TParamObject::IsNull() const
{
    std::lock_guard lock(Mutex_);
    return IsNull_;
}

void TParamObject::SetValue(std::string value)
{
    std::lock_guard lock(Mutex_);
    Value_ = std::move(value);
    IsNull_ = false;
}

void TParamObject::ClearValue()
{
    std::lock_guard lock(Mutex_);
    Value_.clear();
    IsNull_ = true;
}

bool TParamObject::ReturnsValue() const
{
    return !InOut.empty() && std::string_view("OUT").find(InOut) != std::string_view::npos;
}

TParamModel::TParamModel() = default;

TParamModel::~TParamModel()
{
    if (ProcedureItem_ && ProcedureItem_->ProcedureParams == this)
        ProcedureItem_->ProcedureParams = nullptr;
}

void TParamModel::LoadArguments(IDataSetReader& query, std::shared_ptr<TProcedureItem> item)
{
    Items_.clear();
    if (ProcedureItem_ && ProcedureItem_ != item && ProcedureItem_->ProcedureParams == this)
        ProcedureItem_->ProcedureParams = nullptr;
    ProcedureItem_ = std::move(item);
    if (ProcedureItem_)
        ProcedureItem_->ProcedureParams = this;

    query.First();
    while (!query.Eof()) {
        // Read the whole row before appending it, so a failing row leaves
        // no half-filled argument behind.
        auto row = std::make_unique<TParamObject>();
        row->ProcedureItem = ProcedureItem_.get();
        row->ObjectId = query.FieldByName("OBJECT_ID").AsInteger();
        row->ArgumentName = query.FieldByName("ARGUMENT_NAME").AsString();
        row->Position = query.FieldByName("POSITION").AsInteger();
        row->Sequence = query.FieldByName("SEQUENCE").AsInteger();
        row->DataType = StrToDBDataType(query.FieldByName("DATA_TYPE").AsString());
        row->InOut = query.FieldByName("IN_OUT").AsString();
        Items_.push_back(std::move(row));
        query.Next();
    }
}

int TParamModel::GetRowCount() const
{
    return static_cast<int>(Items_.size());
}

bool TParamModel::IsCellEditable(int column, int row) const
{
    const TParamObject* item = GetItem(row);
    return column == colValue && item && item->Position > 0;
}

QWidget* TParamModel::GetCellEditor(int column, int row)
{
    QWidget* editor = TDefaultModel::GetCellEditor(column, row);
    const TParamObject* item = GetItem(row);
    if (auto* lineEdit = qobject_cast<QLineEdit*>(editor); lineEdit && item)
        lineEdit->setText(QString::fromStdString(item->Value()));
    return editor;
}

void TParamModel::SetCellText(int, int row, const QString& text)
{
    TParamObject* item = GetItem(row);
    if (!item)
        return;
    if (IsBlank(text))
        item->ClearValue();
    else
        item->SetValue(text.toStdString());
}

std::string TParamModel::GetCellText(int column, int row) const
{
    const TParamObject* item = GetItem(row);
    if (!item)
        return {};
    switch (column) {
    case colName:
        return item->ArgumentName;
    case colMode:
        return item->InOut;
    case colType:
        return std::string(DBDataTypeNames[item->DataType]);
    case colValue:
        return item->IsNull() ? "Null" : item->Value();
    default:
        return {};
    }
}

TParamObject* TParamModel::GetItem(int row) const
{
    if (row < 0 || row >= GetRowCount())
        return nullptr;
    return Items_[static_cast<std::size_t>(row)].get();
}
