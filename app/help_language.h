// Help and tips in the interface language: the documents are chosen by the
// language in force when they are opened, so a language switch opens them
// again, and a help or tips window left open comes back in the new language
// at the topic it showed.
#pragma once

#include "app/settings.h"

struct DialogFrame;

// The main window's help document.
constexpr char kMainHelpPage[] = "help.htm";

// Opens the help and tips documents again in the language now in force.
void ReopenHelpInLanguage(DialogFrame* main_frame, AppSettings& settings);
