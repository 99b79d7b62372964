#pragma once

class QLineEdit;
class QWidget;

// A value copied from a spreadsheet cell or a mail comes with a line break or
// spaces around it that nobody sees. Pasting into the line edits under root
// (Ctrl+V, Shift+Insert or the context menu's Paste) drops that white space
// at both ends; what lies inside the value stays, for the field's own check
// to refuse. Typing is left alone. Line edits created under root later are
// not covered; call again for them, or use trimPastes() on the one edit.
void trimPastesUnder(QWidget* root);
void trimPastes(QLineEdit* edit);
