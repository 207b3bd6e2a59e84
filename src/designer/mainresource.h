// The main window's form resource, built in code: menus, tool bars,
// panels, the design surface and the hidden card report.
#pragma once

class TMainForm;

void BuildMainWindowResource(TMainForm* form);

// The template library's entries: the new and recent commands, the library
// categories and the custom-template save (mainlibrary_resource.cpp).
void BuildTemplateLibrary(TMainForm* form);
