#include "app/startup_tables.h"

#include <iterator>

namespace {

struct IdValue {
  int id;
  int value;
};

constexpr IdValue kMenuIcons[] = {
    {410, 1},   {218, 7},   {40007, 7}, {7888, 8},  {40012, 9},  {40014, 9}, {318, 10},  {421, 10},
    {423, 10},  {359, 11},  {422, 11},  {378, 13},  {40006, 13}, {196, 15},  {3033, 20}, {1193, 21},
    {3032, 22}, {1194, 23}, {3035, 24}, {1192, 25}, {1201, 26},  {1202, 27}, {1204, 28}, {1205, 29},
};

constexpr IdValue kHelpTopics[] = {
    {101, 1},     {7888, 1},    {1145, 2},    {1144, 3},   {1039, 100}, {40004, 100}, {1042, 101},  {40011, 101},
    {393, 101},   {1007, 102},  {196, 103},   {414, 104},  {1009, 104}, {318, 105},   {423, 105},   {359, 106},
    {457, 107},   {150, 108},   {154, 108},   {1079, 109}, {415, 110},  {151, 111},   {163, 112},   {40001, 114},
    {40014, 115}, {40006, 116}, {40007, 117}, {1044, 118}, {1020, 119}, {1040, 120},  {1013, 121},  {1012, 122},
    {1027, 123},  {1022, 124},  {1014, 125},  {1036, 126}, {384, 200},  {213, 201},   {378, 300},   {411, 301},
    {421, 302},   {40012, 303}, {422, 304},   {218, 305},  {377, 306},  {408, 308},   {410, 309},   {1010, 309},
    {1002, 309},  {40010, 310}, {402, 311},   {381, 312},  {1110, 246}, {1111, 247},  {1112, 248},  {1113, 249},
    {1114, 250},  {1115, 251},  {1116, 252},  {1117, 253}, {1118, 254}, {40009, 255}, {1008, 9197}, {1031, 9235},
    {1028, 9236},
};

template <size_t N>
int Lookup(const IdValue (&table)[N], int id, int missing) {
  for (const IdValue& entry : table) {
    if (entry.id == id) return entry.value;
  }
  return missing;
}

constexpr uint32_t kFlagNoIconA = 0x1;
constexpr uint32_t kFlagNoIconB = 0x2;
constexpr uint32_t kFlagChecked = 0x8;
constexpr uint32_t kFlagPopup = 0x10;
constexpr int kCheckIcon = 6;

}  // namespace

const int kMainIconIds[32] = {1065, 1047, 155,  1046, 1049, 1053, 1066, 1068, 1071, 480,  1067,
                              1073, 484,  1072, 1074, 1078, 474,  477,  476,  479,  1121, 1123,
                              1124, 1125, 1126, 1120, 1122, 1127, 2423, 2424, 116,  117};
const int kSecondIconIds[3] = {1065, 1077, 1045};

int MenuIconIndex(uint32_t item_flags, uint32_t submenu, int command_id) {
  if (item_flags & (kFlagNoIconA | kFlagNoIconB)) return -1;
  if (item_flags & kFlagChecked) return kCheckIcon;
  if (item_flags & kFlagPopup) return submenu != 0 ? -1 : -2;
  return Lookup(kMenuIcons, command_id, -1);
}

int HelpTopicForId(int id) { return Lookup(kHelpTopics, id, 0); }
