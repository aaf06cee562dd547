// DBObjects: the in-memory schema catalogue: owners with their tables,
// functions, procedures and packages, filed from the dictionary's rows.
#pragma once

#include "catalog/DBOracleScript.h"
#include "views/RkListBox.h"
#include "views/RkObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TParamModel;
class TTableItem;

// A column of a table. The catalogue never files columns; the class exists
// so that a table entry has a column list to offer.
class TColumnItem : public TRkObjectItem {
public:
    TTableItem* TableItem = nullptr;
    std::string ColumnName;
    std::string DataType;
    std::int32_t Length = 0;

    std::string ToString() const override;
};

class TColumnList : public TRkListCollectionModel<TColumnItem> {
public:
    explicit TColumnList(TTableItem* tableItem);

    TTableItem* const TableItem;  // the table that owns this list
};

class TTableItem : public TRkObjectItem {
public:
    TTableItem(std::string owner, std::string name);

    const std::string TABLE_OWNER;
    const std::string TABLE_NAME;
    TColumnList ColumnList;

    // TABLE_NAME.
    std::string ToString() const override;
};

// A stored program of the catalogue: the handle by which tabs, the argument
// model, the call block and runs know a program. The entry object itself is
// the identity (compare pointers, not names).
class TProcedureItem : public TRkObjectItem {
public:
    TProcedureItem(std::string owner, std::string name, TDBObjectType kind);

    const std::string ProcedureOwner;
    const std::string ProcedureName;
    const TDBObjectType ProcedureTypes;
    // The argument model of the program's tab; not owned. Null until the
    // tab loads the arguments; the model clears it when it goes away.
    TParamModel* ProcedureParams = nullptr;
    // The call block last stored by the Set Parameters dialog.
    std::string Script;

    // "OWNER.NAME", or the bare name when the owner is empty.
    std::string ProcedureFullName() const;
    // ProcedureName.
    std::string ToString() const override;
};

class TTableList : public TRkListCollectionModel<TTableItem> {
public:
    explicit TTableList(std::string ownerName);

    std::shared_ptr<TTableItem> AddTable(const std::string& name);

    const std::string OwnerName;
};

class TProcedureList : public TRkListCollectionModel<TProcedureItem> {
public:
    explicit TProcedureList(std::string ownerName);

    std::shared_ptr<TProcedureItem> AddProcedure(const std::string& name, TDBObjectType kind);

    const std::string OwnerName;
};

// One owner (schema). Members are destroyed in reverse order, so the lists
// go Packages, Procedures, Functions, Tables.
class TOwnerItem {
public:
    explicit TOwnerItem(std::string ownerName);
    TOwnerItem(const TOwnerItem&) = delete;
    TOwnerItem& operator=(const TOwnerItem&) = delete;

    const std::string OwnerName;
    TTableList Tables;
    TProcedureList Functions;
    TProcedureList Procedures;
    TProcedureList Packages;
};

// The catalogue: owner names in filing order, each with its owned entry.
class TOwnerList {
public:
    TOwnerList();
    TOwnerList(const TOwnerList&) = delete;
    TOwnerList& operator=(const TOwnerList&) = delete;
    ~TOwnerList();

    // Finds the owner (exact match first, then ignoring letter case) or
    // appends a new empty one; never fails.
    TOwnerItem& GetOwnerItem(const std::string& name);

    // Files one row of the catalogue query. Only TABLE, FUNCTION, PROCEDURE
    // and PACKAGE rows are kept; any other type creates nothing at all.
    void AddDBObject(const std::string& owner, const std::string& objectName,
                     const std::string& objectType);
    std::shared_ptr<TTableItem> AddTable(const std::string& owner, const std::string& tableName);
    // Null for ptTable, which files nothing (not even the owner).
    std::shared_ptr<TProcedureItem> AddProcedure(const std::string& owner,
                                                 const std::string& name, TDBObjectType kind);

    // Releases every owner entry, last to first.
    void Clear();

    int GetCount() const { return static_cast<int>(Owners_.size()); }
    int Count() const { return GetCount(); }
    // Owner name at an index; std::out_of_range outside the list.
    std::string Get(int index) const;
    TOwnerItem* GetObject(int index) const;

private:
    TOwnerItem* FindOwner(const std::string& name) const;

    std::vector<std::unique_ptr<TOwnerItem>> Owners_;
};
