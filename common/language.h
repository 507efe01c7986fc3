// The interface language: its code, its translations and the font the
// dialogs put on their controls.  Every run starts in English (no language);
// the language menu loads one at any time.  UI thread only.
#pragma once

#include <windows.h>

// Loads a language: a language code ("de"), whose packed file is found with
// LanguageFilePath, or the path of a plain language text (a name holding a
// "." that names an existing file).  The current language is dropped first;
// null, a missing file or an unreadable one leave English in force.  Returns
// the language code now in force, or null (a file without a "lang=" line
// still brings its translations).
const char* LoadLanguage(const char* name);

// The current language code, or null.
const char* GetLanguageCode();

// The file of a language as "lang\lang_<code>.lng" (with ".lng" in place of
// the real ".dat"): below the working directory, else below a folder named
// after the program's module base name.  Null when neither exists.  The text
// is overwritten by the next call.
const char* LanguageFilePath(const char* code);

// The translation of a key ("text" or "text:dialog id"), or null when no
// language is loaded or the key has none.
const char* FindTranslation(const char* key);
// True while a language with at least one translation is loaded.
bool HasTranslations();

// Font face, width and height named by the language file (face null: none).
const char* LanguageFontFace();
int LanguageFontWidth();
int LanguageFontHeight();

// The font that dialog frames put on their controls, or null before the
// first language load.
HFONT LanguageDialogFont();

// Drops the language, its translations and the dialog font.
void ReleaseLanguage();
