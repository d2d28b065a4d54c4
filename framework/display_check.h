// The start-up check both programs make before anything else.
#pragma once

// Refuses a desktop that is not in high colour (15 or 16 bits), showing highColourMessage, and a machine
// whose display driver lacks the version-7 interface, showing the platform's DirectX messages. Returns
// false after the message box, true when the program may start.
bool DisplayIsSuitable(const char* highColourMessage);
