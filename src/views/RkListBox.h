// RkListBox: list models that present a collection of entries as a
// read-only string list (one display text and one entry per index).
#pragma once

#include "views/RkObject.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// One line of a list model as a consumer copies it: the text it shows and
// the very entry behind it.
struct TRkListEntry {
    std::string Text;
    std::shared_ptr<TRkObjectItem> Object;
};

// The string-list side of a list model. Reading is by index; the write
// operations belong to the string-list contract but a list model may refuse
// them (see TRkListCollectionModel).
class TRkListModel {
public:
    TRkListModel() = default;
    TRkListModel(const TRkListModel&) = delete;
    TRkListModel& operator=(const TRkListModel&) = delete;
    virtual ~TRkListModel();

    virtual int GetCount() const = 0;
    // Display text at an index; std::out_of_range outside 0..GetCount()-1.
    virtual std::string Get(int index) const = 0;
    // The entry at an index; std::out_of_range outside 0..GetCount()-1.
    virtual std::shared_ptr<TRkObjectItem> GetObject(int index) const = 0;

    virtual void Clear() = 0;
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Put(int index, const std::string& text) = 0;
    // Attaching an object to a string; list models ignore it.
    virtual void PutObject(int index, std::shared_ptr<TRkObjectItem> object);

    int Count() const { return GetCount(); }
    // Appends a string: Insert at the end.
    int Add(const std::string& text);

    // Every line in order, for filling a list box or a keyword list.
    std::vector<TRkListEntry> Entries() const;
    std::vector<std::string> Strings() const;
};

// Raised by every string-list write on a collection model.
class ERkListReadOnly : public std::logic_error {
public:
    explicit ERkListReadOnly(const std::string& operation);
};

// A list model over a collection it owns. Entries are appended by the
// derived list (its Add... operations); the string-list side only reads.
// Entries are held by shared_ptr so that a consumer that copied one keeps
// it valid after the list is cleared; identity is the entry object.
template <class T>
class TRkListCollectionModel : public TRkListModel {
public:
    using ItemPtr = std::shared_ptr<T>;

    int GetCount() const override { return static_cast<int>(List_.size()); }
    std::string Get(int index) const override { return At(index)->ToString(); }
    std::shared_ptr<TRkObjectItem> GetObject(int index) const override { return At(index); }

    // The entry at an index with its own type.
    ItemPtr ItemAt(int index) const { return At(index); }
    const std::vector<ItemPtr>& List() const { return List_; }

    // Releases every entry (an entry someone still holds lives on).
    void Clear() override
    {
        while (!List_.empty())
            List_.pop_back();
    }

    void Insert(int, const std::string&) override { throw ERkListReadOnly("Insert"); }
    void Delete(int) override { throw ERkListReadOnly("Delete"); }
    void Put(int, const std::string&) override { throw ERkListReadOnly("Put"); }

protected:
    ItemPtr Append(ItemPtr item)
    {
        List_.push_back(item);
        return item;
    }

private:
    const ItemPtr& At(int index) const
    {
        if (index < 0 || index >= GetCount())
            throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
        return List_[static_cast<std::size_t>(index)];
    }

    std::vector<ItemPtr> List_;
};
