#pragma once

#include "platform/FileError.h"

namespace vantrel {

// A GetLastError() value as one of the outcomes whose French texts both backends share.
FileError fileErrorFromWin32(unsigned long error);

} // namespace vantrel
