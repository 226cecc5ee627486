#pragma once

// The program's version: 6.0, revision 0.
namespace Version {
inline constexpr int Major = 6;
inline constexpr int Minor = 0;
inline constexpr int Revision = 0;
} // namespace Version

// The application title, carried by every message box that gives no title of its own.
inline constexpr char16_t AppTitle[] = u"Velmont Brasko";
