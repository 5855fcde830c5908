# Run by cpack on the staged files: a plain strip keeps the compilers' notes
# (.comment, .note), which Debian's own packaging tools drop from programs.
file(GLOB _programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
if(NOT _programs)
  message(FATAL_ERROR "no programs staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
foreach(_program ${_programs})
  execute_process(COMMAND ${CPACK_OBJCOPY_PROGRAM} --remove-section=.comment --remove-section=.note
                          ${_program}
                  RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "objcopy could not strip the notes of ${_program}")
  endif()
endforeach()
