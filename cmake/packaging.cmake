# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh does it all).
set(CPACK_PACKAGE_NAME tollvane)
set(CPACK_PACKAGE_VENDOR "Tollvane developers")
set(CPACK_PACKAGE_CONTACT "Tollvane developers <tollvane@shop.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "alarm clock with a calendar reminder")
set(CPACK_PACKAGE_DESCRIPTION "A desktop alarm clock: it shows the running time and, at the
alarm time typed in its window, sounds a series of beeps of the pitch, length
and number chosen. A month calendar beside the alarm keeps one line of reminder
text for one date, shown again when the alarm rings on that date. One copy runs
per user; a second start brings the first to the front.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The sound server's client library is opened at the first beep, so dpkg-shlibdeps does not see it.
# Wine's fonts hold the faces of the Windows sans's widths that the captions are set in
# (font_stand_ins.h); without them the captions wrap onto their neighbours.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpulse0, fonts-wine")
# Fonts the windows are drawn with; not libraries, so dpkg-shlibdeps does not find them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
