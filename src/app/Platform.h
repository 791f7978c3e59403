#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;

// Everything the windows ask of the desktop goes through this seam, so that
// every command can be run headless in tests with a scripted fake.
class Platform {
public:
    virtual ~Platform() = default;
    virtual void Warning(const QString& text) = 0;     // warning box, OK
    virtual void Information(const QString& text) = 0; // information box, OK
    virtual void Message(const QString& text) = 0;     // plain message box
    virtual void ErrorReport(const QString& text) = 0; // application-level error report
    virtual QStringList ChooseFiles(const QString& startFolder) = 0; // empty: cancelled
    virtual std::optional<QString>
    ChooseFolder(const QString& startFolder) = 0; // nullopt: cancelled
    virtual void SetClipboardText(const QString& text) = 0;
    // Hands the address to the desktop's browser; false when none could be started.
    virtual bool OpenUrl(const QString& url) = 0;
    virtual QDate Today() = 0;
    // The user's decimal separator, read once from the system locale.
    virtual char DecimalSeparator() = 0;
    // Runs a modal dialog to its end and returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The real desktop: QMessageBox, QFileDialog, QClipboard, QDesktopServices.
class QtPlatform : public Platform {
public:
    void Warning(const QString& text) override;
    void Information(const QString& text) override;
    void Message(const QString& text) override;
    void ErrorReport(const QString& text) override;
    QStringList ChooseFiles(const QString& startFolder) override;
    std::optional<QString> ChooseFolder(const QString& startFolder) override;
    void SetClipboardText(const QString& text) override;
    bool OpenUrl(const QString& url) override;
    QDate Today() override;
    char DecimalSeparator() override;
    int RunModal(QDialog& dialog) override;
};
