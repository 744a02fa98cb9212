#pragma once
// The opening functions of the screens that the main window's command buttons open. Each stands in
// for its screen until that screen is built: it opens nothing and answers "nothing chosen".

namespace vdmq {

// The system menu (options, save, load, quit). Replaced by the system menu.
void ShowSystem();

}  // namespace vdmq
