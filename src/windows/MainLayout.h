#pragma once

class TMain;

// The main window's controls as its designer laid them out: one row per control, with its layout name, kind, place,
// hint, glyph, font, colours and handler, built in the order of the rows (which is also their order for assistive
// tools and for Tab); then its menus, pictures, cues and timers.
namespace mainlayout {

// Makes every control of `window` and binds its handlers, once.
void Build(TMain &window);

} // namespace mainlayout
