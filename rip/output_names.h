// Names of the files a rip writes: the output base path made from the folder,
// the artist and the title, and the intermediate WAV names in "temp".
#pragma once

#include <functional>
#include <string>

constexpr int kRipPathSize = 260;   // 259 characters and the NUL

// Appends `count` characters of `text` at `path`'s end, each character a file
// name cannot hold (" * / : < > ? \ |) made a blank, clipped to the room left
// in a buffer of `size` bytes.  Always NUL-terminates.
void AppendFileNamePart(char* path, int size, const char* text, int count);

// Output folder (with one trailing backslash), artist, " - ", title.
void BuildOutputBasePath(const char* folder, const char* artist, const char* title,
                         char path[kRipPathSize]);

// `base` followed by `extension` (".wav", ".ogg" ...) as far as the limit allows.
void AppendExtension(char path[kRipPathSize], const char* extension);

// "temp\corvale.wav", or the first of "temp\corvale(1).wav", "temp\corvale(2).wav"
// ... for which `exists` says no.
std::string FreeTempWavPath(const std::function<bool(const std::string&)>& exists);
