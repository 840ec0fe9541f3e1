#include "engine/portlink.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace qvsim {

namespace {

bool makeFolders(const std::string &folder, std::string &error)
{
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

// Where a symbolic link points; empty when `path` is not one.
std::string linkTarget(const std::string &path)
{
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

} // namespace

bool PortLink::publish(const std::string &folder, const std::string &name, const std::string &target,
                       std::string &error)
{
    if (name.empty() || name.find('/') != std::string::npos) {
        error = "the port name must be a plain file name";
        return false;
    }
    if (!makeFolders(folder, error))
        return false;
    const std::string path = folder + "/" + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        const std::string old = linkTarget(path);
        if (old.empty() || ::access(old.c_str(), F_OK) == 0) {
            error = path + " is in use; choose another --name";
            return false;
        }
    }
    // Link under a temporary name, then rename: the program never sees half a port.
    const std::string temp = folder + "/." + name + "." + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot publish " + path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    m_path = path;
    m_target = target;
    return true;
}

void PortLink::remove()
{
    if (m_path.empty())
        return;
    if (linkTarget(m_path) == m_target)
        ::unlink(m_path.c_str());
    m_path.clear();
}

} // namespace qvsim
