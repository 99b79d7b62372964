#pragma once

class QWidget;

// Combo boxes, date edits and spin boxes under root take wheel turns only
// while they have keyboard focus: a wheel notch over a field the pointer
// merely rests on would silently change a mapping, a date or the transaction
// type. Without focus the turn goes to the parent, so the form scrolls.
// Widgets created under root later are not covered; call again for them.
void guardWheel(QWidget* root);
