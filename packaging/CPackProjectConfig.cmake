# Read by cpack at packaging time. A Debian package must live under /usr, and the programs inside
# it look for the helper under the prefix they were built with: refuse any other prefix rather
# than ship programs that look in /usr/local.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_VELLUMAR_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "The Debian package needs a tree configured with "
                        "-DCMAKE_INSTALL_PREFIX=/usr (this one has "
                        "${CPACK_VELLUMAR_INSTALL_PREFIX}); use `make package`.")
endif()
