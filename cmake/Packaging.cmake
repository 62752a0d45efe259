# The Debian package: `cpack -G DEB` in the build folder (or `make package` at the top) writes
# kelmora_<version>_<arch>.deb there, installing to /usr.
#
# Depends: dpkg-shlibdeps (package dpkg-dev) reads the libraries the program, its sound player
# (/usr/lib/kelmora/kelmora_play) and the player's module (/usr/lib/kelmora/kelmora_sound.so)
# link, which gives the Qt 6 libraries (libqt6core6, libqt6gui6, libqt6widgets6, libqt6dbus6,
# libqt6multimedia6), libc6 and libstdc++6. What it
# cannot see is added by hand: the Qt plugins loaded at run time. On Debian 12 the X11 platform
# plugin comes with libqt6gui6 and both multimedia back ends (FFmpeg and GStreamer) with
# libqt6multimedia6, which shlibdeps already names. The alarm sounds need neither back end: Qt 6.4
# plays them through its own PulseAudio output (libpulse0, a dependency of libqt6multimedia6), so
# a PulseAudio server, or PipeWire's, is recommended.

# Debian wants the licence as /usr/share/doc/<package>/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelmora)
set(CPACK_PACKAGE_VENDOR "The Kelmora developers")
set(CPACK_PACKAGE_CONTACT "Kelmora developers <kelmora@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray clock with alarms")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelmora developers <kelmora@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description below the summary; CPack indents it and marks the empty line between the
# paragraphs as control files want.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kelmora is a small clock that lives in the notification area. Every update
interval it draws the time into its 16x16 tray icon, as a tiny analog face or
as one or two lines of digits in a pixel font of its own, in up to eight
colours; its tip shows the date, the time, the weekday and the next alarm.

It keeps a list of alarms, each with a due time, an optional repeat interval,
an optional repeat count and a WAV sound, and plays the sound when an alarm
falls due. Its texts are Japanese.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libqt6multimedia6 (which holds the multimedia plugins) comes from shlibdeps; the platform
# plugins beyond X11 (VNC, Linux framebuffer, EGLFS) are loaded, never linked. Every text is
# Japanese, and a machine without a Japanese font draws each as a row of empty boxes: any common
# Japanese gothic font will do (fonts-japanese-gothic is provided by the IPA, IPAex, VL and
# Takao fonts); where there is none, apt takes the first, the small Motoya L Cedar.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-motoya-l-cedar | fonts-noto-cjk | \
fonts-vlgothic | fonts-takao-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-gtk-platformtheme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source archive leaves out the build folders and the repository's own data.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/")

include(CPack)
