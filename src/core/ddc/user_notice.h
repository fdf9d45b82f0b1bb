// A message the DDC layer has for the user (opening a port at start-up). The
// core only describes it; the window shows it in a message box.
#pragma once

#include <functional>
#include <string>

namespace pellam {

struct UserNotice {
    enum class Icon { None, Information, Error };
    Icon icon = Icon::None;
    std::string title; // empty: the application's own title
    std::string text;
};

using NoticeSink = std::function<void(const UserNotice&)>;

} // namespace pellam
