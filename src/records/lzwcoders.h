// Installs the imaging library's LZW coders into its four codec hooks, so
// that GIF pictures and LZW-compressed TIFF pictures can be read and written.
#pragma once

void InstallLZWCoders();
