# Kelmora's Win32 face: the services over Win32 (platform/win/), the two windows (app/win/,
# editor/win/) and kelmora.exe, statically linked. Included from src/CMakeLists.txt on Windows.

# The Win32 services behind the interfaces of services.h.
add_library(kelmora_platform_win STATIC
  platform/win/placeholder.cpp)
target_include_directories(kelmora_platform_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kelmora_platform_win PUBLIC kelmora_platform kelmora_core
  comctl32 comdlg32 shell32 winmm gdi32 user32 ole32 uuid)
target_compile_definitions(kelmora_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
  NOMINMAX _WIN32_WINNT=0x0A00)
