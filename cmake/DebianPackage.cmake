# The Debian package, built by `cpack -G DEB` from what `cmake --install` lays out under /usr.
# Its version is the project's; its dependencies come from the shared libraries the program
# links (dpkg-shlibdeps).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanettesim)
set(CPACK_PACKAGE_VENDOR "The korvanettesim developers")
set(CPACK_PACKAGE_CONTACT "korvanettesim developers <developers@korvanettesim.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://korvanettesim.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 platform plugin comes with libqt6gui6; the Wayland one is a package of its own, without
# which Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS jackd2)
# The first line of the description is the project's DESCRIPTION.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The Korvanette is a MIDI controller with 8 banks of 16 encoders, 64 buttons, a
4-line LCD and a settings memory that decides what every encoder and button
sends. Virtual Korvanette shows the box on screen: its knobs and buttons send
real MIDI through the ALSA sequencer, JACK or its own virtual port, and its LCD
shows what was moved. Its main window edits every byte of the settings memory,
stores it in .syx files and exchanges it with a real box as one SysEx dump.")

include(CPack)
