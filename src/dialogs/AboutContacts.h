// The contact details shown by the about window, one set per edition
// (0 the maker's, 1 the distributor's), in the interface language.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>

namespace qv {

struct AboutContacts {
    QString name;
    QStringList address;   // postal address, one line each
    QString phone;         // with its label: "tel. ..." or "phone ..."
    QString fax;
    QString webText;       // as shown
    QUrl web;              // as opened
    QString mailText;
    QUrl mail;             // a mailto: address
};

// Edition 1 gives the distributor's details, any other the maker's;
// language 0 Polish, else English.
AboutContacts aboutContacts(uint8_t edition, uint8_t language);

// The description line under the version.
QString aboutDescription(uint8_t language);

} // namespace qv
