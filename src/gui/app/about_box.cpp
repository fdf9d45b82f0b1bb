#include "gui/app/about_box.h"

#include "gui/app/app_icon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellam {

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(tr("About"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(appPicture(64));

    auto* name = new QLabel(QStringLiteral("Pellam"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    name->setFont(nameFont);
    name->setStyleSheet(QStringLiteral("color: #0000FF;"));

    auto* version = new QLabel(tr("Version 1.4"), this);
    version->setObjectName(QStringLiteral("Version"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);

    btnAboutOK = new QPushButton(tr("OK"), this);
    btnAboutOK->setObjectName(QStringLiteral("btnAboutOK"));
    btnAboutOK->setDefault(true);
    connect(btnAboutOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(btnAboutOK, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString releaseNotesText() {
    return TForm3::tr(
        "[1.4 2026-12-07]\n"
        "1. First release for Linux, built with Qt 6.\n"
        "2. EDID files: raw binary (.bin, .dat) and hex text (.txt) are read and written, "
        "line-form hex text (.ddc) is read.\n"
        "3. Files are saved through a temporary file, so a failed save never destroys the old "
        "file.\n"
        "4. Block 1 keeps every data block the editor does not show (HDR, HDMI 2.x, FreeSync and "
        "others) and every bit it has no control for; it is written back only after an edit.\n"
        "5. Hex grid with structure colours and hints; 128/256-byte and HDMI/DP modes.\n"
        "6. Compliance analyser: the sink EDID items of the HDMI compliance test with the "
        "sink's capability declaration; the report can be saved as a log.\n"
        "7. pellam-cli converts, rebuilds and analyses EDID files without a window.\n");
}

TForm3::TForm3(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(tr("发行公告"));
    resize(682, 494);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(releaseNotesText());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

} // namespace pellam
