# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the browser edition's static site: the page, the game, the manifest
# with the icons, and the service worker, whose cache is named after the
# site's contents so that a new build replaces what browsers keep.
#   cmake -DSITE=out -DPAGES=platform/web/site -DICONS=res/icons -DGAME=dir-of-vantle.js -P site.cmake
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE}/icons)
file(COPY ${GAME}/vantle.js ${GAME}/vantle.wasm ${PAGES}/index.html ${PAGES}/manifest.webmanifest
     DESTINATION ${SITE})
file(GLOB icons ${ICONS}/*.png)
file(COPY ${icons} DESTINATION ${SITE}/icons)

set(files index.html vantle.js vantle.wasm manifest.webmanifest)
# The version covers every file the site serves: the pages, the game, the
# icons and the worker itself.
set(digest "")
foreach(f ${files})
  file(SHA256 ${SITE}/${f} hash)
  string(APPEND digest ${hash})
endforeach()
list(SORT icons)
foreach(icon ${icons})
  get_filename_component(name ${icon} NAME)
  file(SHA256 ${icon} hash)
  string(APPEND digest "icons/${name}:${hash}")
endforeach()
file(SHA256 ${PAGES}/sw.js hash)
string(APPEND digest ${hash})
string(SHA256 version "${digest}")
string(SUBSTRING ${version} 0 16 version)

set(cached "\"./\"")
foreach(f ${files})
  string(APPEND cached ", \"${f}\"")
endforeach()
foreach(icon ${icons})
  get_filename_component(name ${icon} NAME)
  string(APPEND cached ", \"icons/${name}\"")
endforeach()
set(VANTLE_CACHE "vantle-${version}")
set(VANTLE_FILES "${cached}")
configure_file(${PAGES}/sw.js ${SITE}/sw.js @ONLY)
