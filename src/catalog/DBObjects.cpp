// DBObjects: filing catalogue rows and looking owners up.
#include "catalog/DBObjects.h"

#include <QString>

#include <stdexcept>
#include <utility>

std::string TColumnItem::ToString() const
{
    return ColumnName;
}

TColumnList::TColumnList(TTableItem* tableItem)
    : TableItem(tableItem)
{
}

TTableItem::TTableItem(std::string owner, std::string name)
    : TABLE_OWNER(std::move(owner))
    , TABLE_NAME(std::move(name))
    , ColumnList(this)
{
}

std::string TTableItem::ToString() const
{
    return TABLE_NAME;
}

TProcedureItem::TProcedureItem(std::string owner, std::string name, TDBObjectType kind)
    : ProcedureOwner(std::move(owner))
    , ProcedureName(std::move(name))
    , ProcedureTypes(kind)
{
}

std::string TProcedureItem::ProcedureFullName() const
{
    if (ProcedureOwner.empty())
        return ProcedureName;
    return ProcedureOwner + "." + ProcedureName;
}

std::string TProcedureItem::ToString() const
{
    return ProcedureName;
}

TTableList::TTableList(std::string ownerName)
    : OwnerName(std::move(ownerName))
{
}

std::shared_ptr<TTableItem> TTableList::AddTable(const std::string& name)
{
    return Append(std::make_shared<TTableItem>(OwnerName, name));
}

TProcedureList::TProcedureList(std::string ownerName)
    : OwnerName(std::move(ownerName))
{
}

std::shared_ptr<TProcedureItem> TProcedureList::AddProcedure(const std::string& name,
                                                             TDBObjectType kind)
{
    return Append(std::make_shared<TProcedureItem>(OwnerName, name, kind));
}

TOwnerItem::TOwnerItem(std::string ownerName)
    : OwnerName(std::move(ownerName))
    , Tables(OwnerName)
    , Functions(OwnerName)
    , Procedures(OwnerName)
    , Packages(OwnerName)
{
}

TOwnerList::TOwnerList() = default;

TOwnerList::~TOwnerList()
{
    Clear();
}

TOwnerItem* TOwnerList::FindOwner(const std::string& name) const
{
    for (const auto& owner : Owners_)
        if (owner->OwnerName == name)
            return owner.get();
    // Owners are normally filed in ascending order, where an ordered search
    // would do; a plain scan also finds entries appended out of order.
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (const auto& owner : Owners_) {
        const QString candidate = QString::fromUtf8(owner->OwnerName.data(),
                                                    static_cast<qsizetype>(owner->OwnerName.size()));
        if (candidate.compare(wanted, Qt::CaseInsensitive) == 0)
            return owner.get();
    }
    return nullptr;
}

TOwnerItem& TOwnerList::GetOwnerItem(const std::string& name)
{
    if (TOwnerItem* found = FindOwner(name))
        return *found;
    Owners_.push_back(std::make_unique<TOwnerItem>(name));
    return *Owners_.back();
}

void TOwnerList::AddDBObject(const std::string& owner, const std::string& objectName,
                             const std::string& objectType)
{
    if (objectType == DBObjectTypeNames[ptTable])
        AddTable(owner, objectName);
    else if (objectType == DBObjectTypeNames[ptFunction])
        AddProcedure(owner, objectName, ptFunction);
    else if (objectType == DBObjectTypeNames[ptProcedure])
        AddProcedure(owner, objectName, ptProcedure);
    else if (objectType == DBObjectTypeNames[ptPackage])
        AddProcedure(owner, objectName, ptPackage);
}

std::shared_ptr<TTableItem> TOwnerList::AddTable(const std::string& owner,
                                                 const std::string& tableName)
{
    return GetOwnerItem(owner).Tables.AddTable(tableName);
}

std::shared_ptr<TProcedureItem> TOwnerList::AddProcedure(const std::string& owner,
                                                         const std::string& name,
                                                         TDBObjectType kind)
{
    switch (kind) {
    case ptFunction:
        return GetOwnerItem(owner).Functions.AddProcedure(name, kind);
    case ptProcedure:
        return GetOwnerItem(owner).Procedures.AddProcedure(name, kind);
    case ptPackage:
        return GetOwnerItem(owner).Packages.AddProcedure(name, kind);
    case ptTable:
        break;
    }
    return nullptr;
}

void TOwnerList::Clear()
{
    while (!Owners_.empty())
        Owners_.pop_back();
}

std::string TOwnerList::Get(int index) const
{
    return GetObject(index)->OwnerName;
}

TOwnerItem* TOwnerList::GetObject(int index) const
{
    if (index < 0 || index >= GetCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return Owners_[static_cast<std::size_t>(index)].get();
}
