# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CPack before it packs. Every time in the package (its ar members,
# the files in its tar archives) is SOURCE_DATE_EPOCH, so that two builds of
# one commit give the same bytes. A builder's own SOURCE_DATE_EPOCH is kept;
# else it is the last commit's time; else, in a source release (whose files
# all carry that commit's time), the time of its CMakeLists.txt.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "")
  find_program(VANTLE_GIT git)
  if(VANTLE_GIT)
    execute_process(COMMAND "${VANTLE_GIT}" -C "@VANTLE_SOURCE_DIR@" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                    RESULT_VARIABLE failed)
    if(failed)
      set(epoch "")
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP "@VANTLE_SOURCE_DIR@/CMakeLists.txt" epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()

# A cross-built package: dpkg-shlibdeps reads the programs with the target's
# tools and looks for their libraries among the target's own.
if(NOT "@VANTLE_DEB_HOST_ARCH@" STREQUAL "")
  set(ENV{DEB_HOST_ARCH} "@VANTLE_DEB_HOST_ARCH@")
endif()
