// The card panel's layout picture: where the unscaled picture lands when
// the panel changes size.
#pragma once

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
