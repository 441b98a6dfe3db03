#pragma once

class QDialog;

namespace vantrel {

// Gives `dialog` the frame of a modal dialog: a title and a close box, and
// no minimise, maximise or help button. Some window managers offer to
// minimise any dialog whatever it asks for (openbox does); a dialog
// minimised so is shown again at once, since a modal dialog out of sight
// leaves the bar waiting on a window the user cannot find.
void UseModalDialogFrame(QDialog& dialog);

}  // namespace vantrel
