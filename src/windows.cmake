# Kelmora's Win32 face: the services over Win32 (platform/win/), the two windows (app/win/,
# editor/win/) and kelmora.exe, statically linked. Included from src/CMakeLists.txt on Windows.

# The Win32 services behind the interfaces of services.h.
add_library(kelmora_platform_win STATIC
  platform/win/hidden_window.cpp platform/win/win_app_paths.cpp platform/win/win_dialogs.cpp
  platform/win/win_icon.cpp platform/win/win_notifier.cpp platform/win/win_screen.cpp
  platform/win/win_single_instance.cpp platform/win/win_sound.cpp
  platform/win/win_tick_timer.cpp platform/win/win_tray.cpp platform/win/win_window_frames.cpp
  platform/win/win_controls.cpp)
target_include_directories(kelmora_platform_win PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kelmora_platform_win PUBLIC kelmora_platform kelmora_core
  comctl32 shell32 winmm gdi32 user32 ole32 uuid)
target_compile_definitions(kelmora_platform_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
  NOMINMAX _WIN32_WINNT=0x0A00)

# Kelmora's chime, synthesised at build time by tools/make_sound.cpp (run under the emulator),
# as the resource KELMORA_CHIME that the sound service plays from memory. The resource object
# goes into every program that links the services: an object in a static library that no code
# names would be left out of the link.
set(KELMORA_CHIME_WAV ${CMAKE_CURRENT_BINARY_DIR}/sounds/chime.wav)
add_custom_command(OUTPUT ${KELMORA_CHIME_WAV}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/sounds
  COMMAND kelmora_make_sound chime ${KELMORA_CHIME_WAV}
  DEPENDS kelmora_make_sound
  COMMENT "Synthesising the built-in chime")
set(chime_rc ${CMAKE_CURRENT_BINARY_DIR}/kelmora_chime.rc)
file(CONFIGURE OUTPUT ${chime_rc} CONTENT "KELMORA_CHIME RCDATA \"${KELMORA_CHIME_WAV}\"\n")
set_source_files_properties(${chime_rc} PROPERTIES OBJECT_DEPENDS ${KELMORA_CHIME_WAV})
add_library(kelmora_chime_resource OBJECT ${chime_rc} ${KELMORA_CHIME_WAV})
target_link_libraries(kelmora_platform_win INTERFACE $<TARGET_OBJECTS:kelmora_chime_resource>)
add_dependencies(kelmora_platform_win kelmora_chime_resource)

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
