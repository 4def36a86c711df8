#pragma once

#include <QDialog>

namespace quillerby {

class Prompter;

inline constexpr const char* kMakerSite = "https://quillerby.app";

// The "About" dialog: picture, product name, version, the maker's lines and a link to the maker's site.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(Prompter& prompter, QWidget* parent = nullptr);
};

} // namespace quillerby
