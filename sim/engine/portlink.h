// A served port made visible to the program: a symbolic link in the
// virtual-port folder that points at the pseudo-terminal's slave side.
#pragma once

#include <string>

namespace qvsim {

class PortLink {
public:
    PortLink() = default;
    PortLink(const PortLink &) = delete;
    PortLink &operator=(const PortLink &) = delete;
    ~PortLink() { remove(); }

    // Creates `folder` if needed and links folder/name to `target`. A link
    // left behind by a simulator that is gone is replaced; a live one is not.
    bool publish(const std::string &folder, const std::string &name, const std::string &target,
                 std::string &error);
    // Removes the link if it still points where this one put it.
    void remove();
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
    std::string m_target;
};

} // namespace qvsim
