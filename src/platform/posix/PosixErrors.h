#pragma once

#include "platform/FileError.h"

namespace vantrel {

// An errno value, from the local file system or from the SMB client, as one of the
// outcomes whose French texts both backends share.
FileError fileErrorFromErrno(int errnoValue);

} // namespace vantrel
