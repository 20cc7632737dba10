// Windows whose caption is empty, really empty on the screen.
//
// Qt never publishes an empty title to an X11 window manager: it puts the
// application's name in its place, so "Korvo Flow" would show on the About
// and busy windows. Once Qt has set the title, the window's name properties
// are emptied here directly. Other platforms show the empty title as it is.
#pragma once

class QWidget;

// Keeps the window's caption empty each time it is shown.
void KeepCaptionEmpty(QWidget& window);
