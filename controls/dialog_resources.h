// Creating dialogs: from a template among the program's own resources or
// from a template in the shared dialog-resource library named by a reference
// text ("VelmaronDialogs.dll?#7300"), modal or modeless, each run by the
// frame procedure with its DialogFrame.
#pragma once

#include <windows.h>

#include "common/dialog_class.h"
#include "controls/dialog_frame.h"

// What a dialog is created with.  `holder`, when given, keeps the frame for
// reuse by the next dialog created through it (and the caller frees it);
// without a holder the frame is freed with its window.
struct DialogRequest {
  DialogFrame** holder = nullptr;
  DialogFrame* parent = nullptr;
  FrameProc procedure = nullptr;  // null: DefaultDialogProc
  FrameInitFunc init = nullptr;
  bool modal = false;
  int min_width = 0;  // minimum tracking size; 0: none
  int min_height = 0;
  void* user_data = nullptr;
};

// Modal: the value given to EndDialog (-1 when the dialog could not be
// made).  Modeless: 1 when a window was created, else 0.
INT_PTR CreateDialogFromResource(const DialogRequest& request, int template_id);
// The reference names the library file before "?" and the resource after it.
// A library that cannot be loaded, or that lacks the template, ends the
// process with kDialogReferenceExitCode after telling the user and running
// the fatal-exit hook.  The library's templates host browser controls (help,
// tips, About): the control host library is brought up first.
INT_PTR CreateDialogFromReference(const DialogRequest& request, const char* reference);

// The exit code of a process ended by a missing dialog library or template.
constexpr UINT kDialogReferenceExitCode = 3;
// Runs after the message of a fatal reference error, before the process ends
// (the program saves its settings there).  Null: nothing runs.
using DialogFatalExitHook = void (*)();
void SetDialogFatalExitHook(DialogFatalExitHook hook);

// The message boxes of the fatal reference errors go through this function;
// tests replace it so that nothing waits for a click.
using DialogMessageBoxFunc = int (*)(HWND owner, const char* text, const char* caption, UINT type);
void SetDialogMessageBoxFunc(DialogMessageBoxFunc show);

// Short forms without initialisation function and minimum size.
INT_PTR CreateDialogFromResource(DialogFrame** holder, DialogFrame* parent, int template_id, FrameProc procedure,
                                 bool modal);
INT_PTR CreateDialogFromReference(DialogFrame** holder, DialogFrame* parent, const char* reference, FrameProc procedure,
                                  bool modal, void* user_data);
INT_PTR CreateDialogFromReference(DialogFrame** holder, DialogFrame* parent, const char* reference, FrameProc procedure,
                                  bool modal);

// The procedure of dialogs whose creator gives none: context help on
// initialisation and focus changes; OK closes with 1, Cancel with 0.
int DefaultDialogProc(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);

// EndDialog for a modal frame, DestroyWindow for a modeless one; nothing
// without a frame or window.
void CloseDialogFrame(DialogFrame* frame, INT_PTR result);

DialogFrame* NewDialogFrame();
// Frees the frame with everything it owns and drops its help pane reference.
void FreeDialogFrame(DialogFrame* frame);

int IsResizableWindow(HWND window);
int HasBorderStyle(HWND window);
int HasCaptionStyle(HWND window);

// The system's text for an error code, or null when it has none.  The text
// lives in a library-wide buffer overwritten by the next call.
const char* SystemErrorText(DWORD error_code);
