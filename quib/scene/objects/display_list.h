// Display lists: the ordered object lists the display-list render path draws. A list handle of the flat
// interface is a DisplayList*; the list never owns its objects. Every display list knows the others
// while it exists, so that an object that goes away leaves all of them: no list draws a freed object.
#pragma once

#include "quib/ptrarray.h"

class MeshObject;

class DisplayList : public PtrArray<MeshObject> {
  public:
    // An empty list of slots places, known to the others until it is destroyed.
    explicit DisplayList(int slots = 1);
    ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    // Takes object out of every display list that exists, each occurrence (cursors kept in step).
    // MeshObject's destructor calls it.
    static void RemoveEverywhere(MeshObject* object);

  private:
    // The chain of lists that exist, newest first.
    DisplayList* m_previousList;
    DisplayList* m_nextList;
};
