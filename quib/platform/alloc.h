// The allocation tracker, a debugging aid: code that wants an allocation watched registers it by name
// (ALLOCADD) and unregisters it when freeing it (ALLOCDEL); at shutdown DumpAllocs logs whatever is left.
// Main thread only.
#pragma once

// Length of a record's name, terminator included; longer names are cut.
constexpr int kAllocNameSize = 256;

struct AllocRecord {
    char name[kAllocNameSize];
    void* ptr;
};

// Registers ptr under name (a NULL name counts as empty), logs "ALLOCADD:<ptr>,<name>" and returns the
// record. The tracker's list is created by the first registration.
AllocRecord* ALLOCADD(const char* name, void* ptr);

// Unregisters every record of ptr, each logged as "ALLOCDEL:<ptr>,<name>"; the others keep their order.
void ALLOCDEL(void* ptr);

// The shutdown report: when the list exists, logs "***** Remaining Allocs = <n>" and one ALLOCDEL line per
// record, then frees the records and the list. Nothing is logged when nothing was registered since the
// last report.
void DumpAllocs();

// Frees every record and the list without logging.
void FreeAllocs();
