#include "widgets/prompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace quillerby {

PromptAnswer QtPrompter::show(PromptKind kind, const QString& text, PromptButtons buttons, QWidget* parent) {
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setText(displayText(text));
    box.setWindowTitle(QApplication::applicationDisplayName());
    switch (kind) {
    case PromptKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case PromptKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QObject::tr("Information"));
        break;
    case PromptKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QObject::tr("Warning"));
        break;
    case PromptKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QObject::tr("Error"));
        break;
    case PromptKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QObject::tr("Confirm"));
        break;
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

void QtPrompter::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

QString QtPrompter::openFileName(const QString& caption, const QString& filter, QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

} // namespace quillerby
