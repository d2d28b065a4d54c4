#include "quib/quib.h"

void junk() {}
