#include "info/About.h"

#include "app/Platform.h"
#include "info/HoverLabel.h"
#include "info/Links.h"
#include "info/Pictures.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* PictureLabel(const QPixmap& pixmap, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    return label;
}

QLabel* TextLabel(const QString& text, QWidget* parent, int pointSize = 0, bool bold = false) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    }
    font.setBold(bold);
    label->setFont(font);
    return label;
}

// A caption followed by its link on one line.
QHBoxLayout* CaptionAndLink(QLabel* caption, QLabel* link) {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(caption);
    row->addWidget(link);
    row->addStretch();
    return row;
}

} // namespace

TAboutBox::TAboutBox(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      platform(platform) {
    setWindowTitle("About VORSEN");
    setModal(true);
    setFixedSize(818, 581);

    auto* panel = new QFrame(this);
    panel->setObjectName("panel");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);

    // Titles across the top.
    auto* title = TextLabel("VORSEN - Spectra Response Analysis", panel, 20, true);
    auto* chineseTitle = TextLabel("VORSEN - 反应谱分析", panel, 16, true);
    title->setAlignment(Qt::AlignCenter);
    chineseTitle->setAlignment(Qt::AlignCenter);

    // Logo beside version, credit, developer and contacts.
    auto* logo = PictureLabel(Pictures::SpectrumLogo(QSize(230, 166)), panel);
    logo->setObjectName("logoPicture");
    auto* details = new QVBoxLayout;
    details->setSpacing(7);
    details->addWidget(TextLabel("Version : 1.0             ", panel, 11, true));
    details->addWidget(TextLabel("Published 2018 - 2026 by the VORSEN project on "
                                 "vorsen.example.org",
                                 panel));
    details->addSpacing(6);
    details->addWidget(TextLabel("Developer (开发者) : Halvik", panel, 11, true));
    details->addWidget(TextLabel("E-mail (邮箱) : vorsen@example.org", panel));
    details->addWidget(TextLabel("Messenger (即时通讯) : 100000001", panel));
    details->addWidget(TextLabel("Subscription (订阅号) : VORSEN-Notes", panel));
    details->addStretch();
    auto* middle = new QHBoxLayout;
    middle->setSpacing(24);
    middle->addWidget(logo, 0, Qt::AlignTop);
    middle->addLayout(details, 1);

    auto* rule = new QFrame(panel);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // Bottom, left: the links; right: the oscillator and the subscription badge.
    websiteLink = new HoverLabel(QString::fromLatin1(Links::HomePage), LabelLooks::LinkHover(),
                                 LabelLooks::LinkLeave(), panel);
    websiteLink->setObjectName("websiteLink");
    donationLink = new HoverLabel(QString::fromLatin1(Links::DonationPage), LabelLooks::LinkHover(),
                                  LabelLooks::LinkLeave(), panel);
    donationLink->setObjectName("donationLink");
    followLabel = new HoverLabel("欢迎关注订阅号 VORSEN-Notes，更多资料请访问：", panel);
    followLabel->setObjectName("followLabel");
    purpleLink = new HoverLabel(QString::fromLatin1(Links::HomePage) + " !!! ",
                                LabelLooks::LinkHover(), LabelLooks::PurpleLeave(), panel);
    purpleLink->setObjectName("purpleLink");

    auto* links = new QVBoxLayout;
    links->setSpacing(10);
    links->addSpacing(8);
    links->addLayout(CaptionAndLink(TextLabel("Website (网站) : ", panel), websiteLink));
    links->addLayout(CaptionAndLink(TextLabel("Donation (捐助) :    ", panel), donationLink));
    links->addSpacing(12);
    links->addWidget(followLabel);
    links->addWidget(purpleLink);
    links->addStretch();

    auto* oscillator = PictureLabel(Pictures::Oscillator(QSize(170, 180)), panel);
    oscillator->setObjectName("oscillatorPicture");
    auto* badge = PictureLabel(Pictures::SubscriptionBadge(QSize(130, 130)), panel);
    badge->setObjectName("subscriptionPicture");
    badge->setToolTip("欢迎关注订阅号 VORSEN-Notes，获取程序的最新消息！");
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(16);
    bottom->addLayout(links, 1);
    bottom->addWidget(oscillator, 0, Qt::AlignTop);
    bottom->addWidget(badge, 0, Qt::AlignBottom);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(16, 14, 16, 14);
    panelLayout->setSpacing(10);
    panelLayout->addWidget(title);
    panelLayout->addWidget(chineseTitle);
    panelLayout->addSpacing(6);
    panelLayout->addLayout(middle);
    panelLayout->addWidget(rule);
    panelLayout->addLayout(bottom, 1);

    okButton = new QPushButton("OK", this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);

    const QString homePage = QString::fromLatin1(Links::HomePage);
    const QString donationPage = QString::fromLatin1(Links::DonationPage);
    connect(websiteLink, &HoverLabel::clicked, this,
            [this, homePage] { OpenLink(this->platform, homePage); });
    connect(purpleLink, &HoverLabel::clicked, this,
            [this, homePage] { OpenLink(this->platform, homePage); });
    connect(followLabel, &HoverLabel::clicked, this,
            [this, homePage] { OpenLink(this->platform, homePage); });
    connect(donationLink, &HoverLabel::clicked, this,
            [this, donationPage] { OpenLink(this->platform, donationPage); });
    // The invitation shares the purple label's effect; its own look stays.
    connect(followLabel, &HoverLabel::entered, purpleLink, &HoverLabel::ShowHoverLook);
    connect(followLabel, &HoverLabel::left, purpleLink, &HoverLabel::ShowLeaveLook);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}
