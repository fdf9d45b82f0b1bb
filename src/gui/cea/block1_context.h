// What the pages and groups of block 1 share: the pages' state (its fill
// guard silences the change handlers while controls are filled), the data
// block collection they edit, and the message interface.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/session/editor_state.h"
#include "gui/ui/user_interaction.h"

#include <string>

namespace pellam {

struct Block1Context {
    SharedPageState& pageState;
    DataBlockCollection& collection;
    UserInteraction& ui;

    bool filling() const { return pageState.pageFillGuard != 0; }
    // Shows a message in a box over the widget; an empty message shows nothing.
    void tell(QWidget* over, const std::string& message) const {
        if (!message.empty())
            ui.showMessage(over, QString::fromStdString(message));
    }
};

} // namespace pellam
