/* Where the browser control's and its document's methods sit in their
   interfaces' method tables, read from the C declarations of the system
   headers so that the stand-in's tables match them slot for slot. */
#define CINTERFACE
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <stddef.h>

#include "browser_slots.h"

#define SLOT(table, method) ((unsigned)(offsetof(table, method) / sizeof(void*)))

void ReadBrowserSlots(BrowserSlots* slots) {
  slots->browser_count = (unsigned)(sizeof(IWebBrowser2Vtbl) / sizeof(void*));
  slots->get_type_info_count = SLOT(IWebBrowser2Vtbl, GetTypeInfoCount);
  slots->get_type_info = SLOT(IWebBrowser2Vtbl, GetTypeInfo);
  slots->get_ids_of_names = SLOT(IWebBrowser2Vtbl, GetIDsOfNames);
  slots->invoke = SLOT(IWebBrowser2Vtbl, Invoke);
  slots->navigate = SLOT(IWebBrowser2Vtbl, Navigate);
  slots->stop = SLOT(IWebBrowser2Vtbl, Stop);
  slots->get_document = SLOT(IWebBrowser2Vtbl, get_Document);
  slots->get_location_url = SLOT(IWebBrowser2Vtbl, get_LocationURL);
  slots->get_busy = SLOT(IWebBrowser2Vtbl, get_Busy);
  slots->document_count = (unsigned)(sizeof(IHTMLDocument2Vtbl) / sizeof(void*));
  slots->document_write = SLOT(IHTMLDocument2Vtbl, write);
  slots->document_close = SLOT(IHTMLDocument2Vtbl, close);
}
