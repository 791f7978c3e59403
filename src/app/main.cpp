// VORSEN: elastic response spectra of recorded ground motions.
#include "app/Platform.h"
#include "app/Unit1.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

// Starting without a display would end in a Qt abort; say what to do instead.
bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return true; // the user chose a platform (offscreen, xcb, wayland, ...)
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display != nullptr && *display != '\0') || (wayland != nullptr && *wayland != '\0');
}

// Exceptions that a command did not handle are reported and the program goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv, Platform& platform)
        : QApplication(argc, argv), Platform_(platform) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            Platform_.ErrorReport(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            Platform_.ErrorReport(QString());
        }
        return false;
    }

private:
    Platform& Platform_;
};

} // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fputs("vorsen: no display found (DISPLAY is not set); run it under a virtual "
                   "display with: xvfb-run -a build/src/vorsen\n",
                   stderr);
        return 1;
    }
    QtPlatform platform;
    try {
        GuardedApplication application(argc, argv, platform);
        // No application display name: Qt would append it to every window
        // title the window manager shows ("... — VORSEN").
        TForm1 mainWindow(platform);
        mainWindow.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("VORSEN"),
                              QString::fromLocal8Bit(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("VORSEN"), QString());
    }
    return 1;
}
