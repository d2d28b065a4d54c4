// Display lists: the ordered object lists the display-list render path draws. A list handle of the flat
// interface is a DisplayList*; the list never owns its objects.
#pragma once

#include "quib/ptrarray.h"

class MeshObject;
using DisplayList = PtrArray<MeshObject>;
