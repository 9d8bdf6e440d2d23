#include "platform/user_folders.h"

#include <glib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

std::string ProgramFolderUnder(const char* xdgHome, const char* home, const char* belowHome) {
  // A relative XDG_*_HOME is to be ignored, as the base-directory rules say.
  if (xdgHome != nullptr && xdgHome[0] == '/')
    return (std::filesystem::path(xdgHome) / "vazesample").lexically_normal().string();
  if (home != nullptr && home[0] == '/')
    return (std::filesystem::path(home) / belowHome / "vazesample").lexically_normal().string();
  return {};
}

std::string StateFolderFor(const char* xdgStateHome, const char* home) {
  return ProgramFolderUnder(xdgStateHome, home, ".local/state");
}

bool MakeFolder(const std::string& path, std::string* error) {
  std::filesystem::path sofar;
  for (const std::filesystem::path& part : std::filesystem::path(path).lexically_normal()) {
    sofar /= part;
    if (part.empty() || part == "/") continue;
    if (::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST) {
      if (error != nullptr) *error = "cannot make the folder " + sofar.string() + ": " + std::strerror(errno);
      return false;
    }
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) {
    if (error != nullptr) *error = path + " is not a folder";
    return false;
  }
  return true;
}

std::string PicturesFolder() {
  // GLib reads the same user-dirs.dirs as xdg-user-dir.
  const char* pictures = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  std::error_code ec;
  if (pictures != nullptr && std::filesystem::is_directory(pictures, ec)) return pictures;
  return g_get_home_dir();
}
