// RkObject: the base of every catalogue entry that a list model presents
// as a string (one entry, one display text).
#pragma once

#include <string>

// An item of a list model's collection. The collection owns it; the item
// knows only how to show itself.
class TRkObjectItem {
public:
    TRkObjectItem() = default;
    TRkObjectItem(const TRkObjectItem&) = delete;
    TRkObjectItem& operator=(const TRkObjectItem&) = delete;
    virtual ~TRkObjectItem();

    // The item's display text in a list box.
    virtual std::string ToString() const = 0;
};
