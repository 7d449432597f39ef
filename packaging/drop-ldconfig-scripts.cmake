# Run by CPack after it built the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack gives a library package a postinst and a postrm that call ldconfig
# themselves; the package's ldconfig trigger already has dpkg do that once
# for everything it installed, so the scripts go, and dpkg-deb packs the
# package again without them.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${deb}" NAME)
  if(NOT name MATCHES "^${CPACK_DEBIAN_LIBRARY_PACKAGE_NAME}_")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
