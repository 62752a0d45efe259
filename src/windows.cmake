# Kelmora's Win32 face: the services over Win32 (platform/win/), the two windows (app/win/,
# editor/win/) and kelmora.exe, statically linked. Included from src/CMakeLists.txt on Windows.

# The Win32 services behind the interfaces of services.h.
add_library(kelmora_platform_win STATIC
  platform/win/placeholder.cpp
  platform/win/win_controls.cpp)
target_include_directories(kelmora_platform_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kelmora_platform_win PUBLIC kelmora_platform kelmora_core
  comctl32 comdlg32 shell32 winmm gdi32 user32 ole32 uuid)
target_compile_definitions(kelmora_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
  NOMINMAX _WIN32_WINNT=0x0A00)

# The alarm editor's Win32 window.
add_library(kelmora_editor_win STATIC editor/win/win_editor_window.cpp)
target_link_libraries(kelmora_editor_win PUBLIC kelmora_editor kelmora_render kelmora_platform_win)

# The main window's Win32 window.
add_library(kelmora_app_win STATIC app/win/win_main_window.cpp)
target_link_libraries(kelmora_app_win PUBLIC kelmora_app kelmora_editor_win kelmora_platform_win)

# kelmora.exe: a GUI program whose entry is wWinMain.
add_executable(kelmora WIN32 app/win/main_windows.cpp)
target_link_libraries(kelmora PRIVATE kelmora_app_win)
target_link_options(kelmora PRIVATE -municode)
target_compile_definitions(kelmora PRIVATE KELMORA_VERSION="${PROJECT_VERSION}")
install(TARGETS kelmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
