/* Slot numbers of the methods the stand-in answers; the others of the same
   tables report an unexpected call. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BrowserSlots {
  unsigned browser_count;
  unsigned get_type_info_count;
  unsigned get_type_info;
  unsigned get_ids_of_names;
  unsigned invoke;
  unsigned navigate;
  unsigned stop;
  unsigned get_document;
  unsigned get_location_url;
  unsigned get_busy;
  unsigned document_count;
  unsigned document_write;
  unsigned document_close;
} BrowserSlots;

void ReadBrowserSlots(BrowserSlots* slots);

#ifdef __cplusplus
}
#endif
