#pragma once

#include <QDialog>

class Platform;
class HoverLabel;
class QPushButton;

// "About VORSEN": the program's title, version, maker, contacts and links.
// Modal, fixed size; every link goes through OpenLink.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(Platform& platform, QWidget* parent = nullptr);

    // The clickable texts (object names in brackets).
    HoverLabel* websiteLink;  // [websiteLink] after "Website (网站) : ": the home page
    HoverLabel* purpleLink;   // [purpleLink] the home page's address + " !!! "
    HoverLabel* followLabel;  // [followLabel] the Chinese invitation; drives purpleLink's look
    HoverLabel* donationLink; // [donationLink] after "Donation (捐助) :    ": the donation page
    QPushButton* okButton;    // [okButton] "OK", the default button

private:
    Platform& platform;
};
