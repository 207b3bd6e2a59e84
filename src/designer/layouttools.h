// The drawing panel's controls and the layout picture's editor: its tools,
// its pen and fill controls, the text tool bar and the text box's pop-up.
#pragma once

class TMainForm;

// Lays the drawing tools, the pen and fill controls, the text tool bar's
// buttons, the text box's pop-up and the editor's dialogs on the window.
void BuildLayoutTools(TMainForm* f);
