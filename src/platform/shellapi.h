// Desktop services: opening documents, folders and web pages through the
// desktop, the program's launcher, and the desktop side of file types.
// Everything the desktop is asked to do goes through one handler, which
// tests replace.
//
// On this desktop a file type is a MIME type (a package file in
// $XDG_DATA_HOME/mime/packages) with a hidden launcher that opens it
// ($XDG_DATA_HOME/applications); the program's own launcher stands for a
// desktop shortcut. Files are written only when missing or changed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/controls.h"

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;

// ShellExecute's failures; any result above 32 is a success.
constexpr intptr_t SE_ERR_FNF = 2;
constexpr intptr_t SE_ERR_PNF = 3;
constexpr intptr_t SE_ERR_NOASSOC = 31;

// One thing the desktop is asked to do.
struct TDesktopRequest {
  enum TKind {
    Open,    // Target: a URL (a local file as file://) to show in its program
    Refresh  // Target: a data folder whose desktop database needs updating
  } Kind;
  std::string Target;
};
// Returns false when the desktop could not do it.
using TDesktopHandler = std::function<bool(const TDesktopRequest&)>;
// Replaces the desktop (tests record requests); an empty handler restores
// it.
void SetDesktopHandler(TDesktopHandler handler);

// Opens a document, folder or URL with the desktop's program for it.
// `verb` "" or "open" (or "explore" for folders); `file` relative to
// `directory`, else to the current folder. The parameters and the show
// mode are not used: documents are opened, never run. Returns 42 on
// success, SE_ERR_FNF / SE_ERR_PNF for a missing file or folder,
// SE_ERR_NOASSOC for other verbs or when the desktop fails.
intptr_t ShellExecute(HWND window, const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory, int show);

// Writes the program's launcher "<name>.desktop" (lower case) into the
// user's applications folder: runs `target` (by its absolute path) in
// `workingFolder` (the desktop's choice when empty), named `name`, described
// by `description`. False when it cannot be written.
bool CreateDesktopLauncher(const std::string& target, const std::string& name, const std::string& description,
                           const std::string& workingFolder = "");

// Makes the desktop know every file type registered under
// HKEY_CLASSES_ROOT (registry.h): each key ".ext" whose default value names
// a class with a "Shell\Open\Command" key gets the MIME type
// "application/x-<class in lower case>" with the class's description and a
// hidden launcher running that command. TRegistry calls it when such keys
// change. False when a file could not be written.
bool SyncDesktopFileTypes();

// The user's data folder ($XDG_DATA_HOME, else ~/.local/share), no
// trailing '/'.
std::string DesktopDataFolder();
