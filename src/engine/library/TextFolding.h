#pragma once

#include <string>
#include <string_view>

// Texts of the track database: UTF-8, or a Windows code page for files written on Windows. Pure
// functions: any thread.

// Text as the search compares it: letters in lower case, Latin letters without their accents
// ("É" as "e", "ß" as "ss"), combining accents dropped, every other character as it is.
std::string foldedForSearch(std::string_view utf8);

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view text);

// Text in the Windows code page 1252, as UTF-8; its five unassigned bytes keep their values.
std::string utf8FromCp1252(std::string_view text);
