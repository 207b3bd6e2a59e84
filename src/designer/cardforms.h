// The forms of the card program, created through the application in their
// fixed order: the main window first (its start touches no other form),
// the card batch window second (its start binds the main window's
// data-aware controls to its table), then the others.
#pragma once

class TApplication;

void CreateCardForms(TApplication* application);
