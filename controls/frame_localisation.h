// Localisation of a dialog's control texts when it opens.
#pragma once

#include <windows.h>

class TranslationTable;

// Replaces the text of every child of the dialog, then of the dialog itself,
// with the current language's text, and puts the language's dialog font on
// each.  Does nothing when neither a language nor a translation hook is in
// force.
void LocaliseDialogWindows(HWND dialog, int dialog_id);

// Shown text + ":" + dialog id -> the English text it came from, so that a
// later change of language finds the source again.
TranslationTable& SourceTextTable();
void ReleaseSourceTextTable();
