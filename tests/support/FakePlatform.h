#pragma once

#include "app/Platform.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A desktop for tests: records every call, answers dialogs from a script.
class FakePlatform : public Platform {
public:
    struct Call {
        std::string kind; // "Warning", "Information", "Message", "ErrorReport", "ChooseFiles",
                          // "ChooseFolder", "SetClipboardText", "OpenUrl"
        QString text;     // message, start folder, clipboard text or url
    };

    std::vector<Call> calls;
    std::deque<QStringList> fileAnswers;              // ChooseFiles answers; empty: cancel
    std::deque<std::optional<QString>> folderAnswers; // ChooseFolder answers; empty: cancel
    QDate today{2026, 12, 10};
    char decimalSeparator = '.';
    QString clipboard;
    // Drives a modal dialog in place of the user; without a script the dialog
    // is dismissed at once, as by its close icon.
    std::function<int(QDialog&)> modalScript;
    std::vector<QString> modalTitles; // window titles of the dialogs run, in order

    void Warning(const QString& text) override { calls.push_back({"Warning", text}); }
    void Information(const QString& text) override { calls.push_back({"Information", text}); }
    void Message(const QString& text) override { calls.push_back({"Message", text}); }
    void ErrorReport(const QString& text) override { calls.push_back({"ErrorReport", text}); }
    QStringList ChooseFiles(const QString& startFolder) override {
        calls.push_back({"ChooseFiles", startFolder});
        if (fileAnswers.empty()) {
            return {};
        }
        QStringList answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    std::optional<QString> ChooseFolder(const QString& startFolder) override {
        calls.push_back({"ChooseFolder", startFolder});
        if (folderAnswers.empty()) {
            return std::nullopt;
        }
        // Unpacked rather than copied whole: GCC 12 reports a copied
        // std::optional<QString> as maybe uninitialized (a false warning).
        const bool chosen = folderAnswers.front().has_value();
        QString folder = chosen ? *folderAnswers.front() : QString();
        folderAnswers.pop_front();
        if (!chosen) {
            return std::nullopt;
        }
        return folder;
    }
    void SetClipboardText(const QString& text) override {
        calls.push_back({"SetClipboardText", text});
        clipboard = text;
    }
    void OpenUrl(const QString& url) override { calls.push_back({"OpenUrl", url}); }
    QDate Today() override { return today; }
    char DecimalSeparator() override { return decimalSeparator; }
    int RunModal(QDialog& dialog) override {
        calls.push_back({"RunModal", dialog.windowTitle()});
        modalTitles.push_back(dialog.windowTitle());
        if (modalScript) {
            return modalScript(dialog);
        }
        dialog.reject();
        return QDialog::Rejected;
    }

    // The calls of one kind, in order.
    std::vector<QString> Texts(const std::string& kind) const {
        std::vector<QString> texts;
        for (const Call& call : calls) {
            if (call.kind == kind) {
                texts.push_back(call.text);
            }
        }
        return texts;
    }
    // Every message box shown (warnings, informations, messages, error reports).
    std::vector<Call> Boxes() const {
        std::vector<Call> boxes;
        for (const Call& call : calls) {
            if (call.kind == "Warning" || call.kind == "Information" || call.kind == "Message" ||
                call.kind == "ErrorReport") {
                boxes.push_back(call);
            }
        }
        return boxes;
    }
};
