// Appending to a file so that a crash or a power cut never loses what was
// reported written: the bytes go to the end of the file and the call returns
// only once they are on the disk (fdatasync). The journal and the
// measurement log of the command line both write through it.
#pragma once

#include <string_view>

namespace qv {

// Writes all of `bytes` at the end of the open file `fd` and flushes them to
// the disk. 0 on success, otherwise the errno of the failing call.
int AppendDurably(int fd, std::string_view bytes);

} // namespace qv
