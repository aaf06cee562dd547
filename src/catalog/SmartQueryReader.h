// SmartQueryReader: an open TSmartQuery read through IDataSetReader, so the
// argument and error models can load from the catalogue query OraMeta.
#pragma once

#include "catalog/DataSetReader.h"

class TSmartQuery;

// Borrows the query; the query must outlive the reader. A field's null
// stays null (the query's own AsInteger would read it as 0).
class TSmartQueryReader : public IDataSetReader {
public:
    explicit TSmartQueryReader(TSmartQuery& query);

    void First() override;
    void Next() override;
    bool Eof() const override;
    int FieldCount() const override;
    TDataSetField Field(int index) const override;
    TDataSetField FieldByName(std::string_view name) const override;

private:
    TSmartQuery& Query_;
};
