// The user's folders as the desktop names them: where a program keeps its
// state, and the Pictures folder.
//
//   ProgramFolderUnder  the program's folder under an XDG home (pure)
//   StateFolderFor   the program's folder under the state home (pure)
//   MakeFolder       makes a folder and its missing parents, private to the user
//   PicturesFolder   the user's Pictures folder, or the home folder
#pragma once

#include <string>

// "XDG_HOME/vazesample" when xdgHome is an absolute path, else
// "$HOME/BELOW_HOME/vazesample" (the desktop's default for that kind of
// folder); empty when neither gives an absolute folder.
std::string ProgramFolderUnder(const char* xdgHome, const char* home, const char* belowHome);

// "$XDG_STATE_HOME/vazesample" when XDG_STATE_HOME is an absolute path, else
// "$HOME/.local/state/vazesample" (the desktop's default state home). Empty
// when neither gives an absolute folder. nullptr: not set.
std::string StateFolderFor(const char* xdgStateHome, const char* home);

// Makes path and every missing folder above it, each readable only by the
// user (as the desktop asks of the state home). True when path is a folder
// afterwards; otherwise false with one sentence in *error.
bool MakeFolder(const std::string& path, std::string* error);

// The Pictures folder as `xdg-user-dir PICTURES` names it (from the user's
// user-dirs.dirs); the home folder when none is named or it is not a folder.
std::string PicturesFolder();
