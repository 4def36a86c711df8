#pragma once

#include "widgets/links.h"

#include <QDialog>

namespace quillerby {

class Prompter;

// The "About" dialog: picture, product name, version, the maker's lines and a link to the maker's site.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(Prompter& prompter, QWidget* parent = nullptr);
};

} // namespace quillerby
