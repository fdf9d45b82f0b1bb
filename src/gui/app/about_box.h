#pragma once

#include <QDialog>

class QPushButton;
class QPlainTextEdit;

namespace pellam {

// "About": the picture, the name in blue and the version in bold.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QPushButton* btnAboutOK;
};

// The release notes, newest release first.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
};

// The text of the release notes.
QString releaseNotesText();

} // namespace pellam
