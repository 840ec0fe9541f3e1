// The about window: the program's icon, name, version and description and
// the contact details of the maker's or the distributor's edition, with a web
// link and an e-mail link. Esc closes it.
#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;

namespace qv {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // language: 0 Polish, 1 English; edition: 0 the maker's, 1 the distributor's.
    TAboutBox(QWidget *owner, uint8_t language, uint8_t edition);

    QLabel *webLink() const { return m_web; }
    QLabel *mailLink() const { return m_mail; }

    // "version " and the program's version (the application's, else the build's).
    static QString versionText();

private:
    QLabel *m_web;
    QLabel *m_mail;
};

} // namespace qv
