#include "gui/cea/hdmi2_page.h"

#include "gui/ui/widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace pellam {

Hdmi2Page::Hdmi2Page(SharedPageState& pageState, DataBlockCollection& collection,
                     UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_context{pageState, collection, ui} {
    setObjectName(QStringLiteral("sheetHDMI2"));

    lblBlock1Note = named(new QLabel(this), "lblBlock1Note");
    lblBlock1Note->setStyleSheet(QStringLiteral("color: #a00000;"));
    lblBlock1Note->hide();

    // The four groups take more than the window's height: they scroll.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll = scroll;
    auto* groups = new QWidget(scroll);
    gbxHF = new HdmiForumGroup(m_context, groups);
    gbxHDR = new HdrMetadataGroup(m_context, groups);
    gbxCDB = new ColorimetryGroup(m_context, groups);
    gbxY420 = new Ycbcr420Group(m_context, groups);
    auto* middle = new QHBoxLayout;
    middle->addWidget(gbxHDR, 1);
    middle->addWidget(gbxCDB);
    auto* content = new QVBoxLayout(groups);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(4);
    content->addWidget(gbxHF);
    content->addLayout(middle);
    content->addWidget(gbxY420);
    content->addStretch();
    scroll->setWidget(groups);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(2);
    page->addWidget(lblBlock1Note);
    page->addWidget(scroll, 1);
}

void Hdmi2Page::decodePage() {
    const DataBlockCollection& collection = m_context.collection;
    lblBlock1Note->setVisible(!collection.editable);
    lblBlock1Note->setText(collection.editable ? QString() : qs(collection.note));
    m_scroll->setEnabled(collection.editable);
    gbxHF->decode();
    gbxHDR->decode();
    gbxCDB->decode();
    gbxY420->decode();
}

} // namespace pellam
