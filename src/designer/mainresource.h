// The main window's form resource, built in code: menus, tool bars,
// panels, the design surface and the hidden card report.
#pragma once

class TMainForm;

void BuildMainWindowResource(TMainForm* form);
