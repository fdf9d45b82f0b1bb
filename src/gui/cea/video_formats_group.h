// The video data block and the header flags of block 1 on "B1/视频": the
// formats offered and those in the block (with their native marks), the
// DTV options, the revision and the count of native detailed timings.
#pragma once

#include "gui/cea/block1_context.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pellam {

class VideoFormatsGroup : public QWidget {
    Q_OBJECT

public:
    VideoFormatsGroup(const Block1Context& context, QWidget* parent);

    // Fills the controls from the collection (lists empty when block 1
    // cannot be edited).
    void decode();

    QGroupBox* gbxDTV;
    QCheckBox* ckxUnderscan;
    QCheckBox* ckxBasicAudio;
    QCheckBox* ckxYCbCr444;
    QCheckBox* ckxYCbCr422;
    QGroupBox* gbxMisc;
    QLineEdit* edtCEA_ver;
    QGroupBox* GroupBox22;
    QLineEdit* edtNativeFormat;
    QGroupBox* gbxVideoBlock;
    QListWidget* lbxVideoDefault;
    QListWidget* clxVideoSupport; // check marks: the native flags
    QPushButton* btnVideoAdd;
    QPushButton* btnVideoDelete;

public slots:
    void ckxUnderscanClick();
    void ckxBasicAudioClick();
    void ckxYCbCr444Click();
    void ckxYCbCr422Click();
    void edtNativeFormatChange();
    void edtCEA_verChange();
    void clxVideoSupportClickCheck(QListWidgetItem* item);
    void btnVideoAddClick();
    void btnVideoDeleteClick();

private:
    void connectHandlers();
    bool filling() const { return m_context.filling(); }

    Block1Context m_context;
    DataBlockCollection& m_collection;
};

} // namespace pellam
