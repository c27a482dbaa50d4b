#pragma once

#include <string>
#include <string_view>

// Names in the configuration file are bytes. The panel writes UTF-8, but
// files written on Windows hold their names in the Windows code page
// (Windows-1252): "Caption=D\xe9j\xe0". Such bytes are kept as they are,
// so a name nobody edits is written back byte for byte, and are shown as
// Windows shows them.

// The stored bytes as UTF-8 to show: valid UTF-8 unchanged, anything else
// read byte by byte as Windows-1252 (its five unassigned bytes as the C1
// controls of the same number, as Windows reads them).
std::string StoredTextToUtf8(std::string_view stored);

// What to store for a text shown as `shown` (UTF-8) that was read as
// `stored`: the stored bytes while the text shown is still theirs, so a
// name the operator left alone keeps its encoding; else the text shown.
std::string TextToStore(std::string_view stored, std::string_view shown);
