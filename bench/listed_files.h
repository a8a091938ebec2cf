#pragma once
// Files on disk for the listed objects of the recheck figures: made once in a temporary folder
// the first time they are asked for, deleted when the program ends.
#include <string>

#include "literal.h"

namespace bench {

// count objects that all exist: every tenth one is a member of an archive file, the rest files.
const LiteralList& ExistingListedFiles(size_t count);

} // namespace bench
