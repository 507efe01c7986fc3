// The program's name as it shows in titles, message boxes and config.ini.
#pragma once

constexpr char kProductName[] = "Corvale";
