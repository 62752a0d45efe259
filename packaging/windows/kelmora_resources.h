#pragma once
// The resource identifiers of kelmora.exe (kelmora.rc), for the program and its resource script.

// The program's icon, 16, 32 and 48 px: the one Explorer shows, LoadIconW's for the windows.
#define IDI_KELMORA 1
