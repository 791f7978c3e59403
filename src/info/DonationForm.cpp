#include "info/DonationForm.h"

#include "app/Platform.h"
#include "info/HoverLabel.h"
#include "info/Links.h"
#include "info/Pictures.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* PictureLabel(const QPixmap& pixmap, const QString& toolTip, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    label->setToolTip(toolTip);
    return label;
}

} // namespace

TDonationBox::TDonationBox(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      platform(platform) {
    setWindowTitle("Donation (捐助)");
    setModal(true);
    setFixedSize(651, 463);

    auto* heart = PictureLabel(Pictures::Heart(QSize(190, 190)), "感谢您的捐助！", this);
    heart->setObjectName("heartPicture");
    auto* logo = PictureLabel(Pictures::SpectrumLogo(QSize(210, 190)), QString(), this);
    logo->setObjectName("logoPicture");
    auto* cup = PictureLabel(Pictures::Cup(QSize(190, 190)), "谢谢您对本程序的支持！", this);
    cup->setObjectName("cupPicture");
    auto* pictures = new QHBoxLayout;
    pictures->setSpacing(14);
    pictures->addStretch();
    pictures->addWidget(heart);
    pictures->addWidget(logo);
    pictures->addWidget(cup);
    pictures->addStretch();

    auto* caption = new QLabel("Donation (捐助) :    ", this);
    QFont captionFont = caption->font();
    captionFont.setPointSize(11);
    caption->setFont(captionFont);
    donationLink = new HoverLabel(QString::fromLatin1(Links::DonationPage), LabelLooks::LinkHover(),
                                  LabelLooks::LinkLeave(), this);
    donationLink->setObjectName("donationLink");
    QFont linkFont = donationLink->font();
    linkFont.setPointSize(11);
    donationLink->setFont(linkFont);
    auto* link = new QHBoxLayout;
    link->setSpacing(0);
    link->addStretch();
    link->addWidget(caption);
    link->addWidget(donationLink);
    link->addStretch();

    closeButton = new QPushButton("Close", this);
    closeButton->setObjectName("closeButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 30, 16, 20);
    layout->setSpacing(20);
    layout->addLayout(pictures);
    layout->addStretch();
    layout->addLayout(link);
    layout->addStretch();
    layout->addLayout(buttons);

    const QString donationPage = QString::fromLatin1(Links::DonationPage);
    connect(donationLink, &HoverLabel::clicked, this,
            [this, donationPage] { OpenLink(this->platform, donationPage); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}
