#include "gui/cea/video_page.h"

#include "gui/ui/widgets.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pellam {

VideoPage::VideoPage(SharedPageState& pageState, DataBlockCollection& collection,
                     UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_context{pageState, collection, ui} {
    setObjectName(QStringLiteral("sheetHDMIVideo"));

    lblBlock1Note = named(new QLabel(this), "lblBlock1Note");
    lblBlock1Note->setStyleSheet(QStringLiteral("color: #a00000;"));
    lblBlock1Note->hide();

    m_content = new QWidget(this);
    formats = new VideoFormatsGroup(m_context, m_content);
    gbxVSDB = new HdmiVsdbGroup(m_context, m_content);
    auto* content = new QVBoxLayout(m_content);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(4);
    content->addWidget(formats, 1);
    content->addWidget(gbxVSDB);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(2);
    page->addWidget(lblBlock1Note);
    page->addWidget(m_content, 1);

    gbxHDMIVideoPresent = new HdmiVideoPanel(m_context, this);
    connect(gbxVSDB, &HdmiVsdbGroup::panelRequested, this,
            [this] { gbxHDMIVideoPresent->showOver(this); });
    connect(gbxVSDB, &HdmiVsdbGroup::layoutChanged, gbxHDMIVideoPresent,
            &HdmiVideoPanel::applyEnablingRules);
}

void VideoPage::decodePage() {
    gbxHDMIVideoPresent->hide();
    const DataBlockCollection& collection = m_context.collection;
    lblBlock1Note->setVisible(!collection.editable);
    lblBlock1Note->setText(collection.editable ? QString() : qs(collection.note));
    m_content->setEnabled(collection.editable);
    formats->decode();
    gbxVSDB->decode();
    gbxHDMIVideoPresent->applyEnablingRules();
}

void VideoPage::resizeEvent(QResizeEvent* event) {
    EditorPage::resizeEvent(event);
    if (gbxHDMIVideoPresent->isVisible())
        gbxHDMIVideoPresent->showOver(this);
}

void VideoPage::leavePage() {
    gbxVSDB->leave();
    gbxHDMIVideoPresent->hide();
}

} // namespace pellam
