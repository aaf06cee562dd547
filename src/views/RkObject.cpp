// RkObject: out-of-line anchor of the list-model item base.
#include "views/RkObject.h"

// Defined here so that the vtable has one home.
TRkObjectItem::~TRkObjectItem() = default;
