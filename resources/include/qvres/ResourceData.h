// The program's bitmap resources, compiled from the text art in resources/
// at build time: each is a PNG image under its resource name.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace qv::res {

struct Entry {
    const char *name;
    int width;
    int height;
    const unsigned char *png;
    unsigned size;
};

namespace detail {
extern const Entry kEntries[];
extern const int kEntryCount;
} // namespace detail

// The entry of a resource name; nullptr when there is none.
const Entry *find(const QString &name);
// The decoded image of a resource (cached); a null image when there is none.
QImage image(const QString &name);
// Every resource name, in the order of the art files.
QStringList names();

} // namespace qv::res
