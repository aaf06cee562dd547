// RkListBox: the string-list reading shared by every list model.
#include "views/RkListBox.h"

TRkListModel::~TRkListModel() = default;

void TRkListModel::PutObject(int, std::shared_ptr<TRkObjectItem>) {}

int TRkListModel::Add(const std::string& text)
{
    const int index = GetCount();
    Insert(index, text);
    return index;
}

std::vector<TRkListEntry> TRkListModel::Entries() const
{
    std::vector<TRkListEntry> entries;
    const int count = GetCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back({Get(i), GetObject(i)});
    return entries;
}

std::vector<std::string> TRkListModel::Strings() const
{
    std::vector<std::string> strings;
    const int count = GetCount();
    strings.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        strings.push_back(Get(i));
    return strings;
}

ERkListReadOnly::ERkListReadOnly(const std::string& operation)
    : std::logic_error(operation + " is not supported: this list is read-only, "
                                   "its entries are added by the catalogue")
{
}
