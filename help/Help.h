// Context help: a word-processor document whose bookmarks are the help sections, opened through
// OLE Automation on request or when the user presses F1 in the host's thread.
#pragma once

#include <string_view>

namespace vok {

// Opens the help document AFileName in the word processor, brings its window forward and moves
// to bookmark ASection (none when empty). Both are trimmed first. Tells the user about a missing
// document, section or word processor; never throws.
void OpenHelpSection(std::string_view AFileName, std::string_view ASection) noexcept;

// Installs the F1 keyboard hook for the calling thread, replacing an earlier one.
void InstallHelpHook() noexcept;

// Removes the F1 keyboard hook; nothing when none is installed.
void RemoveHelpHook() noexcept;

// Quits the word processor that an opening started (not one it only attached to) and forgets it,
// whether or not quitting succeeds.
void ReleaseWordApp() noexcept;

}  // namespace vok
