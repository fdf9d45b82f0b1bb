#include "base_block/vendor_product_page.h"

#include "ui/user_interaction.h"

namespace pellam {

VendorProductPage::VendorProductPage(EdidWorkspace& workspace, UserInteraction& ui, QWidget* parent)
    : EditorPage(parent)
    , m_workspace(workspace)
    , m_ui(ui) {
    setObjectName(QStringLiteral("TabSheet3"));
}

void VendorProductPage::decodePage() {}

} // namespace pellam
