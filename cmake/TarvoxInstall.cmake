# Installation and packages.
#
# Linux: the tool and every library it loads by bare name (the module, quorix2, the electrolyte
# library and the platform layer) share lib/tarvox/, because the loader looks beside the running
# executable. bin/tarvox is a symbolic link to lib/tarvox/tarvox; the kernel reports the link's
# target as the executable, so the libraries are still found. The component tables live in
# share/tarvox/data/, reached from the tool's folder through the link lib/tarvox/data.
#
# Windows: one flat folder, as regsvr32 and the loader expect: tarvox.exe, tarvox.dll, quorix2.dll,
# TVXELYTE.DLL, data\, include\, docs\ and INSTALL.txt.
include(GNUInstallDirs)

set(TARVOX_COMPONENT_TABLES ${PROJECT_SOURCE_DIR}/data/components.csv ${PROJECT_SOURCE_DIR}/data/kij_pr.csv)
# The public contract: the records and interfaces a host implements or calls. Each header includes
# only the platform's COM declarations and the other contract headers.
set(TARVOX_HOST_HEADERS
    calculator/fluid_state.h calculator/host_fluid.h framework/host_variables.h
    framework/correlation_interface.h)

if(WIN32)
  # The import libraries of the DLLs are of no use to a host, which loads them at run time.
  install(TARGETS tarvox tarvox_tool quorix2 tvxelyte
          RUNTIME DESTINATION .
          LIBRARY DESTINATION .
          ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
  install(FILES ${TARVOX_COMPONENT_TABLES} DESTINATION data)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/INSTALL.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md DESTINATION docs)
  set(TARVOX_HEADER_DESTINATION include/tarvox)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(TARVOX_LIBRARY_FOLDER ${CMAKE_INSTALL_LIBDIR}/tarvox)
  install(TARGETS tarvox tarvox_tool quorix2 tvxelyte tarvox_platform
          RUNTIME DESTINATION ${TARVOX_LIBRARY_FOLDER}
          LIBRARY DESTINATION ${TARVOX_LIBRARY_FOLDER})
  install(FILES ${TARVOX_COMPONENT_TABLES} DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvox/data)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/user-guide.md
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Relative links, so that the tree works under any prefix and inside a package.
  file(RELATIVE_PATH TARVOX_DATA_FROM_LIBRARIES /${TARVOX_LIBRARY_FOLDER} /${CMAKE_INSTALL_DATADIR}/tarvox/data)
  file(RELATIVE_PATH TARVOX_TOOL_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${TARVOX_LIBRARY_FOLDER}/tarvox)
  install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"${TARVOX_TOOL_FROM_BIN}\" \"\${root}/${CMAKE_INSTALL_BINDIR}/tarvox\" SYMBOLIC)
    file(CREATE_LINK \"${TARVOX_DATA_FROM_LIBRARIES}\" \"\${root}/${TARVOX_LIBRARY_FOLDER}/data\" SYMBOLIC)")
  set(TARVOX_HEADER_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarvox)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/include/tarvox_platform DESTINATION ${TARVOX_HEADER_DESTINATION})
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvox developers")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libpugixml1v5, python3 (>= 3.11), python3 (<< 3.12), python3-pandas")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-distributed, python3-matplotlib, python3-tqdm")
endif()

foreach(header IN LISTS TARVOX_HOST_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${TARVOX_HEADER_DESTINATION}/${folder})
endforeach()

set(CPACK_PACKAGE_NAME tarvox)
set(CPACK_PACKAGE_VENDOR "Tarvox developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stream-property correlations for process simulators")
set(CPACK_PACKAGE_CONTACT "Tarvox developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarvox)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
