#pragma once

#include <QDialog>

class Platform;
class HoverLabel;
class QPushButton;

// "Donation (捐助)": pictures thanking donors and the link to the donation page.
// Modal, fixed size, only a close box.
class TDonationBox : public QDialog {
    Q_OBJECT
public:
    explicit TDonationBox(Platform& platform, QWidget* parent = nullptr);

    HoverLabel* donationLink; // [donationLink] after "Donation (捐助) :    "
    QPushButton* closeButton; // [closeButton] "Close"

private:
    Platform& platform;
};
