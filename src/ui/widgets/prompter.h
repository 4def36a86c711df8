#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace quillerby {

enum class PromptKind { Plain, Information, Warning, Error, Confirmation };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box, web address and file question of the program goes through here, so windows can be
// driven by a script in tests. Texts are passed exactly as the program defines them; "\r\n" and "\r" become
// line breaks only when shown. Used on the UI thread only.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual PromptAnswer show(PromptKind kind, const QString& text, PromptButtons buttons,
                              QWidget* parent = nullptr) = 0;
    // Opens a web address in the default browser; failures are silent, as nothing can be done about them.
    virtual void openUrl(const QUrl& url) = 0;
    // Asks for an existing file; empty when cancelled.
    virtual QString openFileName(const QString& caption, const QString& filter, QWidget* parent = nullptr) = 0;

    void plain(const QString& text, QWidget* parent = nullptr) {
        show(PromptKind::Plain, text, PromptButtons::Ok, parent);
    }
    void information(const QString& text, QWidget* parent = nullptr) {
        show(PromptKind::Information, text, PromptButtons::Ok, parent);
    }
    void warning(const QString& text, QWidget* parent = nullptr) {
        show(PromptKind::Warning, text, PromptButtons::Ok, parent);
    }
    void error(const QString& text, QWidget* parent = nullptr) {
        show(PromptKind::Error, text, PromptButtons::Ok, parent);
    }
    PromptAnswer confirm(const QString& text, PromptButtons buttons, QWidget* parent = nullptr) {
        return show(PromptKind::Confirmation, text, buttons, parent);
    }

    // The text as a message box shows it.
    static QString displayText(QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        return text;
    }
};

// The desktop implementation: QMessageBox, QDesktopServices, QFileDialog.
class QtPrompter : public Prompter {
public:
    PromptAnswer show(PromptKind kind, const QString& text, PromptButtons buttons, QWidget* parent) override;
    void openUrl(const QUrl& url) override;
    QString openFileName(const QString& caption, const QString& filter, QWidget* parent) override;
};

} // namespace quillerby
