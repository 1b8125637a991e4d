#pragma once

class QWidget;

namespace vc::gui {

// Places the window, each time it is shown, with the centre of its frame on the centre of its
// owner's frame, or of the screen while the owner is not shown (a box at start-up).
void KeepCentredOnOwner(QWidget& window);

}  // namespace vc::gui
