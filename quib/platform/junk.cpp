#include "quib/export.h"

// Exported and does nothing; kept because programs may import it.
QUIB_API void junk() {}
