# Runs inside cpack on the staged tree, before the package is made: compresses
# every man page that was installed (whichever program installed it) and adds
# the Debian changelog, both with gzip -9n so the package is reproducible.
file(GLOB_RECURSE man_pages "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
foreach(page IN LISTS man_pages)
  execute_process(COMMAND gzip -9nf "${page}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(doc "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_KORVO_DOC_DIR}")
file(MAKE_DIRECTORY "${doc}")
execute_process(COMMAND gzip -9nc "${CPACK_KORVO_CHANGELOG}"
  OUTPUT_FILE "${doc}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
