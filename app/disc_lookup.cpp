#include "app/disc_lookup.h"

#include <cstring>

#include "cd/cddb_lookup.h"

namespace {

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

bool StartLookup(HWND notify) { return StartCddbLookup(notify) == 1; }

bool TakeLookup(DiscLookupResult* result) {
  CddbLookup lookup;
  if (!TakeCddbLookupResult(&lookup)) return false;
  *result = DiscLookupResultFrom(lookup);
  return true;
}

}  // namespace

DiscLookupResult DiscLookupResultFrom(const CddbLookup& lookup) {
  DiscLookupResult result;
  result.found = lookup.found == 1;
  if (!result.found) return result;
  result.disc_title = FieldText(lookup.disc.disc_title, sizeof lookup.disc.disc_title);
  result.artist = FieldText(lookup.artist, sizeof lookup.artist);
  result.title = FieldText(lookup.title, sizeof lookup.title);
  result.track_titles = RecordTitles(lookup.disc);
  result.year = FieldText(lookup.extras.year, sizeof lookup.extras.year);
  result.genre = FieldText(lookup.extras.genre, sizeof lookup.extras.genre);
  result.disc_id = FieldText(lookup.disc_id, sizeof lookup.disc_id);
  return result;
}

void InstallCddbDiscLookup() {
  g_start_disc_lookup = StartLookup;
  g_take_disc_lookup = TakeLookup;
}
