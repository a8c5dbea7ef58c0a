#pragma once

// Who Pixmint is to the desktop and where people find and reach its makers. The About box, the
// launch entries, the settings file and the installed metadata (read from here by the build)
// all take them from here.
namespace project {
// The desktop entry, the icon and the AppStream component are named after this.
inline constexpr char AppId[] = "example.orvelcraft.pixmint";
inline constexpr char HomePage[] = "https://orvelcraft.example/pixmint";
inline constexpr char ProductPage[] = "https://orvelcraft.example/pixmint/icons";
inline constexpr char MailAddress[] = "pixmint@orvelcraft.example";
} // namespace project
