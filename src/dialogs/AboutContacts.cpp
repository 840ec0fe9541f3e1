#include "dialogs/AboutContacts.h"

namespace qv {

namespace {

struct Edition {
    const char *namePl;
    const char *nameEn;
    const char *street;
    const char *city;
    const char *phone;
    const char *fax;
    const char *web;
    const char *mail;
};

const Edition kMaker{"TAMBRIX Sp. z o.o.", "TAMBRIX Ltd.", "ul. Świetlna 17", "30-415 Kraków",
                     "+48 12 345 67 89", "+48 12 345 67 90", "www.tambrix.example.com",
                     "info@tambrix.example.com"};
const Edition kDistributor{"JUX OPTIK s.c.", "JUX OPTIK", "ul. Soczewkowa 4/12", "02-791 Warszawa",
                           "+48 22 765 43 21", "+48 22 765 43 22", "www.jux-optik.example.org",
                           "biuro@jux-optik.example.org"};

} // namespace

AboutContacts aboutContacts(uint8_t edition, uint8_t language)
{
    const Edition &e = edition == 1 ? kDistributor : kMaker;
    const bool pl = language == 0;
    AboutContacts c;
    c.name = QString::fromUtf8(pl ? e.namePl : e.nameEn);
    c.address = {QString::fromUtf8(e.street), QString::fromUtf8(e.city),
                 pl ? QStringLiteral("Polska") : QStringLiteral("Poland")};
    c.phone = (pl ? QStringLiteral("tel. ") : QStringLiteral("phone ")) + QString::fromLatin1(e.phone);
    c.fax = (pl ? QStringLiteral("faks ") : QStringLiteral("fax ")) + QString::fromLatin1(e.fax);
    c.webText = QString::fromLatin1(e.web);
    c.web = QUrl(QStringLiteral("https://") + c.webText);
    c.mailText = QString::fromLatin1(e.mail);
    c.mail = QUrl(QStringLiteral("mailto:") + c.mailText);
    return c;
}

QString aboutDescription(uint8_t language)
{
    if (language == 0)
        return QStringLiteral("Program współpracy z radiometrem-fotometrem QV-700 i luksomierzem "
                              "K-700: podgląd miernika, historia pomiarów, odczyt pamięci i wydruki.");
    return QStringLiteral("Companion program for the QV-700 radiometer-photometer and the K-700 "
                          "luxmeter: live meter display, measurement history, memory download "
                          "and printing.");
}

} // namespace qv
