// The card panel's layout picture: where the unscaled picture lands when
// the panel changes size.
#pragma once

#include "platform/controls.h"

// The smallest card panel: the layout picture keeps at least 10 x 10
// pixels inside the panel's 5-pixel band.
constexpr int kCardPanelMinWidth = 20;
constexpr int kCardPanelMinHeight = 20;

struct TLayoutFit {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// The place of an unscaled picture of sourceWidth x sourceHeight in a layout
// area of areaWidth x areaHeight. A wider-than-high area takes the picture at
// full height, centred across; any other area takes it at full width,
// centred down. An empty area or picture gives an empty place.
TLayoutFit FitLayoutPicture(int areaWidth, int areaHeight, int sourceWidth, int sourceHeight);

// What a press on the card panel's band starts: the window manager's size
// command from the edge or corner under the press, or a move, with the
// screen cursor it shows. Corners take 10 pixels, the edge handles 10 along
// the edge and 5 across it; every other press moves the panel.
struct TPanelCommand {
  TCursor Cursor = crSizeAll;
  WPARAM Command = 0;
};
TPanelCommand CardPanelCommand(int x, int y, int panelWidth, int panelHeight);
