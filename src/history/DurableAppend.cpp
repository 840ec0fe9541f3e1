#include "history/DurableAppend.h"

#include <cerrno>

#include <unistd.h>

namespace qv {

int AppendDurably(int fd, std::string_view bytes)
{
    if (::lseek(fd, 0, SEEK_END) < 0)
        return errno;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += size_t(n);
    }
    return ::fdatasync(fd) != 0 ? errno : 0;
}

} // namespace qv
