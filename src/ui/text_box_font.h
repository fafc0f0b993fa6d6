#pragma once
// Keeps text boxes readable when the desktop font cannot be drawn in them.
//
// Qt's GDI font engine (the `windows` platform) measures a string's box from a
// font's Windows metrics but the line from its typographic metrics when the font
// asks for those. Where the two disagree widely, QLineEdit centres the taller
// string box and paints its text and selection above its own clip: the box looks
// empty while labels and lists look fine. Under Wine, with none of the Windows UI
// fonts installed, Qt falls back on the first family it knows, which on a Debian
// desktop is "DejaVu Math TeX Gyre", a font built exactly that way.

class QFont;
class QString;

namespace velox::ui {

// Whether a QLineEdit set in `font` paints its text inside its own box.
bool TextBoxesCanShow(const QFont& font);

// A family installed here that text boxes can show, of the same point size as `like`;
// empty when there is none.
QString ReadableTextBoxFamily(const QFont& like);

// Call once the QApplication exists and before any window is built: replaces the
// application's font (and the desktop's per-class fonts) with a readable family
// when text boxes could not show it. Leaves a sound desktop font alone.
void EnsureReadableTextBoxes();

}  // namespace velox::ui
