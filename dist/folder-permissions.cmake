# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack once the package's files are staged, before it packs them:
# every folder becomes rwxr-xr-x, as Debian requires, whatever the umask
# of whoever builds the package (CPack makes the folders with it).
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(folder ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${folders})
  if(IS_DIRECTORY "${folder}")
    file(CHMOD "${folder}" DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
