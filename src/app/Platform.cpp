#include "app/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QUrl>

namespace {
QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}
// The title of every message box. The application's display name stays unset:
// Qt would append it to every window title the window manager shows.
QString Title() {
    return QStringLiteral("VORSEN");
}
// A modal box with one OK button. Its text can be selected and copied: it may
// hold a file name or a web address that the user needs elsewhere.
void ShowBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, Title(), text, QMessageBox::Ok, ActiveWindow());
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}
} // namespace

void QtPlatform::Warning(const QString& text) {
    ShowBox(QMessageBox::Warning, text);
}

void QtPlatform::Information(const QString& text) {
    ShowBox(QMessageBox::Information, text);
}

void QtPlatform::Message(const QString& text) {
    ShowBox(QMessageBox::NoIcon, text);
}

void QtPlatform::ErrorReport(const QString& text) {
    ShowBox(QMessageBox::Critical, text);
}

QStringList QtPlatform::ChooseFiles(const QString& startFolder) {
    return QFileDialog::getOpenFileNames(ActiveWindow(), QString(), startFolder);
}

std::optional<QString> QtPlatform::ChooseFolder(const QString& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(ActiveWindow(), QString(), startFolder);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

void QtPlatform::SetClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtPlatform::OpenUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

QDate QtPlatform::Today() {
    return QDate::currentDate();
}

char QtPlatform::DecimalSeparator() {
    static const char separator = [] {
        const QString point = QLocale::system().decimalPoint();
        return point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1() : '.';
    }();
    return separator;
}

int QtPlatform::RunModal(QDialog& dialog) {
    return dialog.exec();
}
