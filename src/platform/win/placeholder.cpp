// Replaced by the Win32 services.
