// The tips document: opened when first wanted, a tip shown when the main window
// opens if the user wants that, Help > Tips, and the tips state saved with
// the settings.
#pragma once

#include "app/settings.h"

struct DialogFrame;
struct HelpDoc;

constexpr int kTipsResourceId = 8001;
constexpr char kTipsPage[] = "tips.htm";

// Opens the tips document with the start-up box ticked when the tips
// setting is on.  Without the document there are no tips.
void CreateTipsViewer(const AppSettings& settings);
// Leaves the document closed until a tip is first shown (a start-up tip or
// Help > Tips), then opens it as CreateTipsViewer does with the settings in
// force then.
void DeferTipsViewer();
void ReleaseTipsViewer();
// Opens the tips document again (in the language now in force), keeping the
// start-up box and the last tip; an open tips window shows the same tip
// from the new document.
void ReopenTipsViewer(AppSettings& settings);
// The tips document, or null.
HelpDoc* TipsDocument();

// The tip after the one shown last (1 after tip 9, or when none was), when
// the tips setting is on.
void ShowStartupTip(DialogFrame* owner, AppSettings& settings);
// Help > Tips: the first tip.
void ShowFirstTip(DialogFrame* owner);

// The tip number to show at start-up after `last_tip`.
int NextStartupTip(int last_tip);

// Copies the start-up box (8 or 0) and the last tip shown into the settings.
void TakeTipsState(AppSettings& settings);
