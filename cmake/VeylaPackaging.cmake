# SPDX-License-Identifier: MIT
# `cpack -G DEB` in a build tree makes veyla_<version>_<arch>.deb. The
# libraries the programs link are found by dpkg-shlibdeps; what they load or
# run at run time is listed here.
set(CPACK_PACKAGE_NAME "veyla")
set(CPACK_PACKAGE_VENDOR "Veyla developers")
set(CPACK_PACKAGE_CONTACT "${VEYLA_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VEYLA_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "library of novels with read-aloud")
set(CPACK_PACKAGE_DESCRIPTION
  "Veyla keeps novels in a library on disk (a folder per book, a file per\n"
  "chapter), shows it as a tree beside a reading view and reads the open\n"
  "chapter aloud with espeak-ng, highlighting what is spoken. It imports TXT\n"
  "and EPUB novels and finds their chapter headings, renders books to audio\n"
  "files and local web sites. Its interface is Chinese. veyla-cli does the\n"
  "same work from the command line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, ffmpeg")
# The speech engine, the sound library, the Opus encoder and libcurl are
# opened when first used, so dpkg-shlibdeps sees none of them;
# espeak-ng-data holds the voices.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libespeak-ng1, espeak-ng-data, libasound2, libopusenc0, libcurl4")
if(VEYLA_BUILD_GUI)
  # Qt's platform plugins (the window on X11) are loaded at run time, so no
  # library names them, and libqt6gui6 only recommends them.
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins")
  # Chinese text needs a CJK font; Qt's own Chinese texts; a native Wayland
  # window; xdg-open for web pages.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, qt6-wayland, xdg-utils")
  string(APPEND CPACK_DEBIAN_PACKAGE_SUGGESTS ", fonts-arphic-ukai")
endif()

include(CPack)
