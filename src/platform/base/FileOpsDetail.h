// What the parts of the file layer share among themselves and nobody else needs.
#pragma once

#include <string>

namespace wvr::fs::detail {

// A file with several names whose rebuilt bytes a crash stopped half-way into it is finished
// from the complete copy left beside it (ReplacementFile.cpp). Called for every file with more
// than one link that is opened, so nothing reads the half-written file. Does nothing when
// there is nothing to finish or it cannot be done.
void FinishInterruptedWriteBack(const std::string& path);

}  // namespace wvr::fs::detail
