# `cmake --build DIR --target package` (or `cpack` in DIR) makes a Debian package of what
# `cmake --install` puts in place. Make it from a plain release build: a sanitizer build's
# programs need the sanitizer runtimes, which the package does not ask for.
set(CPACK_PACKAGE_NAME pinfall)
set(CPACK_PACKAGE_VENDOR "The Pinfall developers")
set(CPACK_PACKAGE_CONTACT "The Pinfall developers <games@${PINFALL_HOME_PAGE}>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${PINFALL_HOME_PAGE}/")
# The libraries the three programs link, as dpkg-shlibdeps finds them on Debian 12, with Qt
# at the version the build asks for, and Liberation Sans, the typeface the windows write in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), \
libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6multimedia6 (>= 6.4), fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "word game scored like ten-pin bowling
Every frame, all players get the same ten shuffled letters, and each letter
of an accepted word knocks down a pin: a ten-letter word is a strike,
clearing the rack with two words a spare. Up to four players, or two teams,
and five spectators meet in a game hosted by one copy of the program, which
judges every word against its dictionary. pinfall-host hosts games on a
machine without a display; pinfall-bot brings computer players to any
game.")
include(CPack)
